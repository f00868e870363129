// Turns a dictionary object (the module's, read only through the shared interface) into the
// entries of a dictionary file. Keys are stored by their atom's name; a Short whose number is a
// known atom is stored with that atom's name so that a later run maps it to its own atom of the
// same name (every Short that names something in the module's files is an atom, such as the
// address book's kite IDs).
#ifndef HARBOR_FILEIO_DICT_COLLECTOR_H
#define HARBOR_FILEIO_DICT_COLLECTOR_H

#include <string>
#include <vector>

#include "dict_object.h"
#include "fileio/dict_file_format.h"

namespace harbor {

// Fills `out` (views into the atom table and into the object's own texts: use them before the
// object changes). False when some entry cannot be stored: a Pointer or Handle (an address or a
// service object means nothing in a later run), a reserved kind, or a key without a name;
// `refusal` then names the key and the reason, and nothing of the object should be written.
bool CollectEntries(DictInterface& dict, std::vector<DictFileEntry>& out, std::string& refusal);

}  // namespace harbor

#endif
