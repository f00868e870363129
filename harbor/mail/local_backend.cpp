#include "mail/local_backend.h"

namespace harbor {

SignInAnswer LocalBackend::SignIn(const std::string& name, const std::string& password) {
    const std::optional<std::string> account = office_.Accounts().Find(name);
    if (!account) return {SignInAnswer::Kind::Refused, "", "no such account"};
    if (!office_.Accounts().Verify(*account, password)) return {SignInAnswer::Kind::Refused, "", "wrong password"};
    return {SignInAnswer::Kind::Accepted, *account, ""};
}

bool LocalBackend::Submit(const std::string& sender, std::string_view message, const std::vector<std::string>& recipients) {
    (void)sender;  // the letter names its sender itself
    return office_.Submit(message, recipients);  // delivered by Deliver()
}

}  // namespace harbor
