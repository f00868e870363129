#include "messaging/data_dict_reader.h"

#include "hxmsg.h"
#include "messaging/host_value_ops.h"
#include "message_codes.h"
#include "messaging/message_object.h"
#include "messaging/name_atoms.h"

namespace wm {
namespace {

using hostvalue::Elements;
using hostvalue::Find;
using hostvalue::NameValue;
using hostvalue::Resolve;

// Forms are read rarely, so their names are fetched on first use.
enum FormAtom : std::size_t { kForms = 0, kTemplate = 1, kIndex = 2 };
constinit LazyAtoms<3> g_formAtoms({"FORMS", "TEMPLATE", "INDEX"});

// Position of the field in the template: the last of its names wins; -1 when it has none.
int64_t TemplatePosition(const HostValue* dictionary, uint16_t field, uint16_t* width) {
    const HostValue* names = Elements(Find(dictionary, g_formAtoms.Get(kTemplate)), width);
    int64_t position = -1;
    for (uint16_t i = 0; i < *width; ++i) {
        if (hostvalue::SameValue(names[i], NameValue(field))) {
            position = i;
        }
    }
    return position;
}

const HostValue* FormField(const HostValue* dictionary, uint16_t field, int32_t index) {
    const uint16_t forms = g_formAtoms.Get(kForms);
    const uint16_t indexName = g_formAtoms.Get(kIndex);
    hostvalue::SetPair(dictionary, NameValue(indexName), hostvalue::IntegerValue(index));

    uint16_t width = 0;
    int64_t position = TemplatePosition(dictionary, field, &width);
    if (position < 0) {
        return nullptr;
    }
    // INDEX may have been left out of a full dictionary: then the first form is read.
    if (const HostValue* current = Resolve(Find(dictionary, indexName))) {
        position += static_cast<int64_t>(static_cast<int32_t>(current->payload)) * width;
    }
    uint16_t count = 0;
    const HostValue* values = Elements(Find(dictionary, forms), &count);
    if (values == nullptr || position < 0 || position >= count) {
        return nullptr;
    }
    return &values[position];
}

}  // namespace

uint16_t DataDictReader::Name() const {
    return name_;
}

void DataDictReader::SetName(const char* name) {
    name_ = FetchAtom(name);
}

void DataDictReader::SetNameAtom(uint16_t atom) {
    name_ = atom;
}

DataDictReader::~DataDictReader() {
    Close();
}

bool DataDictReader::Open(const char* fileName) {
    ResourceRequest request(code::kStart);
    request.PutText(atoms::XFILE, fileName);
    request.PutShort(atoms::TYPE, atoms::DATADICT);
    request.Send(atoms::ResPort);
    if (!request.HasKey(atoms::NAME)) {
        return false;
    }
    name_ = request.GetShort(atoms::NAME);
    Bind();
    return true;
}

bool DataDictReader::Bind() {
    if (data_ != nullptr) {
        Close();
    }
    ResourceRequest request(code::kStart);
    request.PutShort(atoms::NAME, name_);
    request.Send(atoms::AppPort);
    const HostValue key = NameValue(name_);
    data_ = PSGet(&key);
    return data_ != nullptr;
}

void DataDictReader::Close() {
    ReleaseRequest request(code::kStop);
    request.PutShort(atoms::NAME, name_);
    request.Deliver(atoms::AppPort, 0);
    data_ = nullptr;
}

const HostValue* DataDictReader::Lookup(uint16_t key, int32_t index) {
    if (index == kPlain) {
        return Find(data_, key);
    }
    return FormField(data_, key, index);
}

int32_t DataDictReader::GetLong(uint16_t key, int32_t index) {
    const HostValue* value = Resolve(Lookup(key, index));
    return value != nullptr ? static_cast<int32_t>(value->payload) : 0;
}

uint16_t DataDictReader::GetShort(uint16_t key, int32_t index) {
    const HostValue* value = Resolve(Lookup(key, index));
    return value != nullptr ? static_cast<uint16_t>(value->payload & 0xFFFFu) : 0;
}

const char* DataDictReader::GetText(uint16_t key, int32_t index) {
    const char* text = hostvalue::TextOf(Lookup(key, index));
    return text != nullptr ? text : "";
}

int32_t DataDictReader::GetElementInt(uint16_t key, int32_t element) const {
    uint16_t count = 0;
    const HostValue* elements = Elements(Find(data_, key), &count);
    if (elements == nullptr || element < 0 || element >= count) {
        return 0;
    }
    const HostValue* value = Resolve(&elements[element]);
    if (value == nullptr || value->type != HostValueInteger) {
        return 0;
    }
    return static_cast<int32_t>(value->payload);
}

int32_t DataDictReader::FormsCountOf(const HostValue* dictionary) {
    uint16_t width = 0;
    Elements(Find(dictionary, g_formAtoms.Get(kTemplate)), &width);
    if (width == 0) {
        return 0;
    }
    uint16_t count = 0;
    Elements(Find(dictionary, g_formAtoms.Get(kForms)), &count);
    return count / width;
}

}  // namespace wm
