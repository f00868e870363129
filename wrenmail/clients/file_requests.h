// Requests to the host's file service on FileIOPort. The service keeps a current directory per
// handle; every request names the handle and acts relative to it. Nothing is sent when the handle
// is 0, so a module whose file service failed to open stores and reads nothing.
#ifndef WRENMAIL_CLIENTS_FILE_REQUESTS_H
#define WRENMAIL_CLIENTS_FILE_REQUESTS_H

#include <cstdint>

#include <dict_object.h>
#include <fio_query.h>

namespace wm {

// The new handle, or 0 when the service does not report success.
uint32_t FileOpenHandle();
void FileCloseHandle(uint32_t handle);
// ".." goes to the parent, another name one level down; with `root` the request also asks for the
// root (null name and `root`: to the root).
void FileChangeDirectory(uint32_t handle, const char* name, bool root);
void FileCreateDirectory(uint32_t handle, const char* name);
// Makes the file exist, holding an empty dictionary.
void FileCreateDict(uint32_t handle, const char* fileName);
void FileWriteDict(uint32_t handle, const char* fileName, DictInterface* dict);
// The service's dictionary for the file, null when it cannot be read. It belongs to the service
// and stays valid until the next read on the handle.
DictInterface* FileReadDict(uint32_t handle, const char* fileName);
void FileDelete(uint32_t handle, const char* fileName);
// A snapshot of the current directory's names, null on failure. It belongs to the service and
// stays valid until the next listing on the handle.
FioQueryInterface* FileList(uint32_t handle);

}  // namespace wm

#endif
