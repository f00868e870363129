// The numeric message types, shared by the module and every host. A code is a verb whose meaning
// depends on the port it reaches; the keys of the record carry the objects. Action atoms are the
// other message types.
#ifndef HX_MESSAGE_CODES_H
#define HX_MESSAGE_CODES_H

#ifdef __cplusplus
#include <cstdint>

namespace code {


inline constexpr uint16_t kAddPart = 30001;         // MailPort: Message, Part
inline constexpr uint16_t kClose = 30003;           // release the object a handle names
inline constexpr uint16_t kDelete = 30004;          // delete a file, free a message, delete a sprite
inline constexpr uint16_t kEditText = 30008;        // read (with GET) or replace an edit field's text
inline constexpr uint16_t kOpenAddress = 30009;     // HarborPort: open the web address in STRING
inline constexpr uint16_t kGet = 30011;             // get a value: sprite text, date, message field
inline constexpr uint16_t kStart = 30013;           // switch scene, show sprite, load a resource
inline constexpr uint16_t kPointerMoved = 30019;    // a control's pointer moved (X, Y)
inline constexpr uint16_t kMove = 30020;            // move a sprite
inline constexpr uint16_t kKeyPressed = 30024;      // KEY with ALTKEY, SHIFTKEY, CTLKEY
inline constexpr uint16_t kWriteNotice = 30025;     // a write-screen notification
inline constexpr uint16_t kHostQuery = 30026;       // answered with AOK = 0
inline constexpr uint16_t kCursor = 30027;          // ACTION BEGIN or END over the sprite NAME
inline constexpr uint16_t kEntered = 30032;         // the module started; a scene was entered
inline constexpr uint16_t kEditKey = 30033;         // TAB, ENTER or FOCUS in an edit field
inline constexpr uint16_t kClick = 30035;           // the sprite NAME was clicked
inline constexpr uint16_t kPress = 30036;           // the pointer was pressed on NAME
inline constexpr uint16_t kTick = 30040;            // timer tick on TimerPortTick
inline constexpr uint16_t kLeft = 30041;            // the module stops; a scene was left
inline constexpr uint16_t kBeforeCover = 30043;     // ALL: sent before the cover is shown
inline constexpr uint16_t kSetEffect = 30044;       // NAME, FX: a sprite's effect or state
inline constexpr uint16_t kPrint = 30047;           // NEWPRINT, BESTFIT: start a print
inline constexpr uint16_t kQuery = 30049;           // connection manager, formatted date, listing
inline constexpr uint16_t kAfterCover = 30051;      // ALL: sent before the cover is taken down
inline constexpr uint16_t kSet = 30052;             // set values: sprite properties, directory, fields
inline constexpr uint16_t kGetRect = 30055;         // a sprite's rectangle (RX1, RY1, RX2, RY2)
inline constexpr uint16_t kStop = 30059;            // close a scene, release a resource, hide a sprite
inline constexpr uint16_t kSpriteReady = 30060;     // the sprite NAME is on the screen
inline constexpr uint16_t kPageDone = 30063;        // WNPrintPort: STATUS of a printed page
inline constexpr uint16_t kOpen = 30062;            // file service, mail login, dial-up connection
inline constexpr uint16_t kModifiers = 30065;       // the modifier keys changed
inline constexpr uint16_t kReleased = 30068;        // the pointer was released
inline constexpr uint16_t kDraw = 30072;            // a canvas port's draw request ("Bitmap")
inline constexpr uint16_t kWriteDict = 30073;       // FileIOPort: write a dictionary file
inline constexpr uint16_t kCreate = 30080;          // create a message, part or resource
inline constexpr uint16_t kFetchNext = 30090;       // MailPort: fetch the next waiting message
inline constexpr uint16_t kSendMessage = 30091;     // MailPort: send a message
inline constexpr uint16_t kDialResult = 30092;      // PM_Connection: Status, Connection
inline constexpr uint16_t kLineDropped = 30093;     // PM_Connection: the connection is gone

inline constexpr uint16_t kFirst = 30001;  // numeric codes lie in [kFirst, kLast]
inline constexpr uint16_t kLast = 30093;

}  // namespace code
#endif

#endif
