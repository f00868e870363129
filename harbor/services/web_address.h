// The web addresses the module asks HarborPort to open: the sign-up and parents' pages of the
// settings. An address without a scheme ("pages/parents.html") is a page shipped in the content
// folder, so a family on the embedded post office has somewhere to go without a web site.
#ifndef HARBOR_SERVICES_WEB_ADDRESS_H
#define HARBOR_SERVICES_WEB_ADDRESS_H

#include <filesystem>
#include <string>

namespace harbor {

// A page of the content folder as a file:// address (the path made absolute and
// percent-encoded); any address with a scheme unchanged.
std::string ResolveAddress(const std::string& address, const std::filesystem::path& content_dir);

// The file a file:// address names (decoded), or empty for other addresses.
std::filesystem::path LocalFile(const std::string& resolved);

// Opens the address in the desktop's browser (xdg-open). On a computer without one, a page of the
// content folder opens in harbor's own viewer (`harbor page FILE`, a process of its own so the
// window runs on); anything else is noted as not opened.
void OpenAddress(const std::string& address, const std::filesystem::path& content_dir);

}  // namespace harbor

#endif
