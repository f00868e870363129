// Test support: the mail service on MailPort and the connection manager on RASPort. Messages and
// parts are property bags. A message made from stored text keeps that text as its "Data" and reads
// "Key=value" lines of it as properties; once changed, its Data is its properties one per line and
// its parts as "Part=type|body" lines, so what the module builds can be read back.
#ifndef WRENMAIL_TESTS_FAKES_MAIL_SERVICE_H
#define WRENMAIL_TESTS_FAKES_MAIL_SERVICE_H

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "edict.h"

struct FakeObject {
    std::map<uint16_t, std::string> texts;
    std::map<uint16_t, int32_t> longs;
    std::vector<uint32_t> parts;
    bool isPart = false;
};

class FakeMailServer {
public:
    void Install();

    // The stored text of a message with these properties.
    static std::string DataOf(const std::string& from, const std::string& subject, int32_t date,
                              const std::string& to = "", const std::string& body = "");

    uint32_t Add(FakeObject object);
    uint32_t Make(const std::string& data);  // a message made from stored text
    std::string Data(uint32_t handle) const;  // what the service answers for "Data"
    int Messages() const;                     // live messages, parts left out

    // A sign-in with the password succeeds with `okStatus`; a wrong one answers 535.
    std::map<std::string, std::string> accounts;
    int32_t okStatus = 235;
    bool offline = false;
    bool sendSucceeds = true;
    uint32_t nextManager = 70;

    std::map<uint32_t, FakeObject> objects;  // live objects
    int created = 0;                         // messages made by the module
    std::deque<std::string> waiting;         // Data texts handed out by MailNextMessage
    std::vector<std::string> sent;           // Data of each message sent
    std::vector<uint32_t> signedOut;
    std::vector<uint32_t> freed;

private:
    void Get(EDict* record, FakeObject& o, uint32_t handle);
    void Set(const EDict* record, FakeObject& o);
    void SignIn(EDict* record);
    void Handle(EDict* record);
    static bool HXCALL OnRequest(EDict* record);

    static inline FakeMailServer* instance_ = nullptr;
    uint32_t last_ = 500;
    std::string answer_;
};

// The connection manager: answers the manager query; dial requests and hang-ups are only counted,
// the test sends the outcome to ConnectPort itself.
class FakeConnectionManager {
public:
    void Install();

    uint32_t manager = 0;
    int queries = 0;
    std::vector<EDict> dials;
    std::vector<uint32_t> hangUps;

private:
    static bool HXCALL OnRequest(EDict* record);
    static inline FakeConnectionManager* instance_ = nullptr;
};

#endif
