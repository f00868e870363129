#include "state/service_handles.h"

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "clients/file_requests.h"

namespace wm {
namespace {

ServiceHandles g_services;

void SendClose(uint16_t port, uint16_t key, uint32_t handle) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kClose);
    EDictPutHandle(&record, key, handle);
    HxPortSend(port, &record);
}

}  // namespace

ServiceHandles& Services() {
    return g_services;
}

void OpenFileService() {
    g_services.file_service = FileOpenHandle();
}

void CloseFileService() {
    FileCloseHandle(g_services.file_service);
    g_services.file_service = 0;
}

void CloseMailManager() {
    if (g_services.mail_manager == 0) {
        return;
    }
    SendClose(atoms::mail::MailPort, atoms::mail::Manager, g_services.mail_manager);
    g_services.mail_manager = 0;
}

void ReleaseConnection() {
    if (g_services.connection != 0) {
        SendClose(atoms::mail::RASPort, atoms::mail::Connection, g_services.connection);
    }
}

}  // namespace wm
