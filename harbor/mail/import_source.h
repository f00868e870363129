// What `harbor import` reads: a file or standard input, refused by its size before it is read
// (a large file would otherwise be read whole, and converted, only to be refused), and the
// sender and subject a plain text file gets when the command line gives none.
#ifndef HARBOR_MAIL_IMPORT_SOURCE_H
#define HARBOR_MAIL_IMPORT_SOURCE_H

#include <cstddef>
#include <iosfwd>
#include <string>

namespace harbor {

// The most an import reads. A message of this size may still be refused once converted: the
// import file holds at most 4 MiB, and escapes in it take more room than the characters.
inline constexpr std::size_t kMaxImportRead = std::size_t{8} << 20;
// The most an import file holds (what the data dictionary reader takes).
inline constexpr std::size_t kMaxImportFile = std::size_t{4} << 20;

// A size in MiB with one decimal: "3.0 MiB".
std::string MiB(std::size_t bytes);

// Reads FILE ('-': `in`) into `text`: false with `error` (naming the file and the reason) when it
// is missing, a folder, not a regular file, unreadable or larger than kMaxImportRead.
bool ReadImportSource(const std::string& file, std::istream& in, std::string& text, std::string& error);

// A plain text's subject: the file's name without its folder and extension, or for standard
// input the first non-blank line, cut to 60 characters at a character boundary.
std::string PlainImportSubject(const std::string& file, const std::string& text);
// A plain text's sender: the name of the computer's user who imported it ("parent" without one).
std::string PlainImportSender();

}  // namespace harbor

#endif
