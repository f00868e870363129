// Get/Send: the chain of posted actions that sends the kite account's outbox and then fetches its
// new mail, one step per delivered action so the screens stay responsive in between.
//   StartSendAndFetch -> aWrenmailSendMail -> SendOutbox -> aOnMailUploaded -> aWrenmailGetMail
//   -> FetchNewMail -> aOnMailDownloaded (to the main screen)
#ifndef WRENMAIL_TRANSPORT_MAIL_TRANSFER_H
#define WRENMAIL_TRANSPORT_MAIL_TRANSFER_H

namespace wm {

inline constexpr const char* kSendingMailText = "Sending mail you have written...";
inline constexpr const char* kGettingMailText = "Checking for new messages...";

// The main screen's Get/Send: shows the sending notice and starts the chain when a kite account is
// signed in, and empties the Trash of whoever is known.
void StartSendAndFetch();
// Sends every message file of the kite account's outbox and empties the outbox.
void SendOutbox();
// The step between the two transfers: the fetching notice, then the fetch.
void AnnounceFetch();
// Stores each waiting message in the kite account's inbox and appends its header.
void FetchNewMail();

}  // namespace wm

#endif
