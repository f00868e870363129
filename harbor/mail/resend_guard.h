// Letters the module sends again after a crash. The module deletes an OutBox file only after the
// mail service answered that the letter is spooled; a crash in between makes it send the same
// letter at its next start, and the recipient would get it twice. The guard keeps, per account,
// a fingerprint of each letter spooled in the current round ("round": until the account next
// fetches, which the module does only after deleting what it sent):
//
//   .postoffice/sending/<kite ID>    one fingerprint a line, flushed before Success is answered
//
// A file left by an earlier run lists letters whose deletion may not have happened: the first
// letter of this run with one of those fingerprints is taken as spooled already. Fetching ends
// the round and forgets the file.
#ifndef HARBOR_MAIL_RESEND_GUARD_H
#define HARBOR_MAIL_RESEND_GUARD_H

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "fileio/unique_fd.h"

namespace harbor {

class ResendGuard {
public:
    ResendGuard(const std::filesystem::path& data_root, bool durable);

    // True (once per fingerprint) when an earlier run spooled this very letter for the account
    // and stopped before the round ended.
    bool SpooledBefore(const std::string& account, std::string_view letter);
    // The letter is spooled: noted, on disk before this returns.
    void Spooled(const std::string& account, std::string_view letter);
    // The mark a spooled letter carries (MarkOf), so that a crash between spooling and Spooled
    // still finds it: Recovered takes back a mark found in the spool at start.
    std::string MarkOf(const std::string& account, std::string_view letter) const;
    void Recovered(const std::string& mark);
    // The account fetches: every letter of its round has left the OutBox.
    void RoundDone(const std::string& account);

private:
    static std::string Fingerprint(std::string_view letter);
    void Note(const std::string& account, const std::string& fingerprint);
    std::multiset<std::string>& EarlierOf(const std::string& account);

    std::filesystem::path root_;
    bool durable_;
    UniqueFd dir_;
    std::map<std::string, std::multiset<std::string>> earlier_;  // account -> fingerprints of earlier runs
};

}  // namespace harbor

#endif
