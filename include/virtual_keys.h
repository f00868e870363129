/* Key codes carried under KEY in key messages (30024, 30033): the Windows virtual-key codes with
 * the US keyboard layout. The host turns the keys it reads into these; the module reads them. */
#ifndef WRENMAIL_VIRTUAL_KEYS_H
#define WRENMAIL_VIRTUAL_KEYS_H

enum VirtualKey {
    VKEY_BACKSPACE = 8,
    VKEY_TAB = 9,
    VKEY_ENTER = 13,
    VKEY_SHIFT = 16,
    VKEY_CONTROL = 17,
    VKEY_ALT = 18,
    VKEY_ESCAPE = 27,
    VKEY_SPACE = 32,
    VKEY_PAGE_UP = 33,
    VKEY_PAGE_DOWN = 34,
    VKEY_END = 35,
    VKEY_HOME = 36,
    VKEY_LEFT = 37,
    VKEY_UP = 38,
    VKEY_RIGHT = 39,
    VKEY_DOWN = 40,
    VKEY_INSERT = 45,
    VKEY_DELETE = 46,
    /* Digits and letters are their upper-case ASCII codes: VKEY_0 + n, VKEY_A + n. */
    VKEY_0 = 48,
    VKEY_9 = 57,
    VKEY_A = 65,
    VKEY_C = 67,
    VKEY_V = 86,
    VKEY_X = 88,
    VKEY_Z = 90,
    VKEY_F1 = 112,
    /* Punctuation keys of the US layout (unshifted character in the name). */
    VKEY_SEMICOLON = 186,
    VKEY_EQUALS = 187,
    VKEY_COMMA = 188,
    VKEY_MINUS = 189,
    VKEY_PERIOD = 190,
    VKEY_SLASH = 191,
    VKEY_BACKQUOTE = 192,
    VKEY_LEFT_BRACKET = 219,
    VKEY_BACKSLASH = 220,
    VKEY_RIGHT_BRACKET = 221,
    VKEY_QUOTE = 222
};

#endif
