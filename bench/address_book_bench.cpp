// The address book of 1,000 names against Harbor's real file service (in-process, on a temp root):
//   BM_NameForAddress           one lookup as the read and main screens make it: the book read
//                               afresh from its file, then walked from the last entry to the first
//                               (the address sought is the first entry's, so the walk is whole)
//   BM_NameForAddress_Baseline  one read of the same file through the same service, nothing else
//   BM_SortedNames              the sorted name list the address book screen and the picker show
#include <benchmark/benchmark.h>

#include "bench_scratch.h"

#include <string>

#include "fileio/file_service.h"
#include "hxmsg.h"
#include "messaging/dict_object.h"
#include "messaging/name_atoms.h"
#include "state/service_handles.h"
#include "store/address_book.h"
#include "clients/file_requests.h"
#include "store/mail_folder.h"

namespace {

constexpr int kEntries = 1000;
constexpr const char* kKite = "bench";

bench::Scratch& Space() {
    static bench::Scratch scratch("wrenmail_address_book_bench_");
    return scratch;
}

// The module's file service handle on a real service, with a book of kEntries names saved.
class BookOnService {
public:
    BookOnService() : service_((HxReset(), Space().Fresh("book")), harbor::FileServiceOptions{false}) {
        service_.Attach();
        wm::Services().file_service = wm::FileOpenHandle();
        wm::DictObject book;
        for (int n = 0; n < kEntries; ++n) {
            const std::string name = "Friend" + std::to_string(n);
            const std::string address = "kid_" + std::to_string(n);
            book.PutShort(wm::FetchAtom(name.c_str()), wm::FetchAtom(address.c_str()));
        }
        wm::SaveAddressBook(kKite, book);
    }
    ~BookOnService() {
        wm::CloseFileService();
        service_.Detach();
        HxReset();
    }
    BookOnService(const BookOnService&) = delete;
    BookOnService& operator=(const BookOnService&) = delete;

private:
    harbor::FileService service_;
};

void BM_NameForAddress(benchmark::State& state) {
    BookOnService book;
    const uint16_t expected = wm::FetchAtom("Friend0");
    for (auto _ : state) {
        const uint16_t name = wm::NameForAddress(kKite, "KID_0");
        if (name != expected) state.SkipWithError("the lookup missed");
        benchmark::DoNotOptimize(name);
    }
}
BENCHMARK(BM_NameForAddress)->Unit(benchmark::kMicrosecond);

void BM_NameForAddress_Baseline(benchmark::State& state) {
    BookOnService book;
    for (auto _ : state) {
        wm::OpenMailFolder(kKite, wm::OwnerKiteAccount, wm::FolderOwner);
        DictInterface* read = wm::FileReadDict(wm::Services().file_service, wm::kAddressBookFile);
        if (read == nullptr || read->KeyCount() != kEntries) state.SkipWithError("the book was not read");
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_NameForAddress_Baseline)->Unit(benchmark::kMicrosecond);

void BM_SortedNames(benchmark::State& state) {
    BookOnService book;
    for (auto _ : state) {
        const auto names = wm::SortedBookNames(kKite);
        if (names.size() != static_cast<std::size_t>(kEntries)) state.SkipWithError("names missing");
        benchmark::DoNotOptimize(names.data());
    }
}
BENCHMARK(BM_SortedNames)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
