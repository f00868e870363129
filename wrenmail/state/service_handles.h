// The handles of host services that stay open while the module runs: the file service, the mail
// manager of the signed-in account, and the dial-up connection (0 means none); and the header list
// of the stored mail, which lives as long.
#ifndef WRENMAIL_STATE_SERVICE_HANDLES_H
#define WRENMAIL_STATE_SERVICE_HANDLES_H

#include <cstdint>

namespace wm {

class MessageHeaderList;

struct ServiceHandles {
    uint32_t file_service = 0;
    uint32_t mail_manager = 0;
    uint32_t connection = 0;
    MessageHeaderList* header_list = nullptr;
};

ServiceHandles& Services();

// Opens the file service and keeps its handle (0 when it fails).
void OpenFileService();
// Closes the held file service handle and forgets it.
void CloseFileService();
// Closes the held mail manager at the mail service and forgets it.
void CloseMailManager();
// Asks the connection manager to hang the held connection up. The handle is kept: only the
// connection manager's line-dropped notice clears it.
void ReleaseConnection();

}  // namespace wm

#endif
