#include "option/hook/key_event_message.h"

#include <QKeyEvent>

namespace mt {

namespace {

// X keysyms that tell the right-hand modifier from the left.
constexpr uint32_t kXkShiftR = 0xFFE2;
constexpr uint32_t kXkControlR = 0xFFE4;
constexpr uint32_t kXkMetaR = 0xFFE8;
constexpr uint32_t kXkAltR = 0xFFEA;
constexpr uint32_t kXkSuperR = 0xFFEC;
constexpr uint32_t kXkIsoLevel3Shift = 0xFE03;

constexpr bool E = true;  // extended

struct QtKeyVk {
  int key;
  uint8_t vk;
  bool extended;
};

// Keys that mean the same on every layout; the ones a PC keyboard has only
// in its extra rows (F13.., volume, media) come last.
constexpr QtKeyVk kFixedKeys[] = {
    {Qt::Key_Escape, 0x1B, false},   {Qt::Key_Tab, 0x09, false},      {Qt::Key_Backtab, 0x09, false},
    {Qt::Key_Backspace, 0x08, false}, {Qt::Key_Return, 0x0D, false},  {Qt::Key_Enter, 0x0D, E},
    {Qt::Key_Space, 0x20, false},    {Qt::Key_Insert, 0x2D, E},       {Qt::Key_Delete, 0x2E, E},
    {Qt::Key_Home, 0x24, E},         {Qt::Key_End, 0x23, E},          {Qt::Key_PageUp, 0x21, E},
    {Qt::Key_PageDown, 0x22, E},     {Qt::Key_Left, 0x25, E},         {Qt::Key_Up, 0x26, E},
    {Qt::Key_Right, 0x27, E},        {Qt::Key_Down, 0x28, E},         {Qt::Key_Clear, 0x0C, false},
    {Qt::Key_Pause, 0x13, false},    {Qt::Key_Print, 0x2C, E},        {Qt::Key_SysReq, 0x2C, E},
    {Qt::Key_CapsLock, 0x14, false}, {Qt::Key_NumLock, 0x90, E},      {Qt::Key_ScrollLock, 0x91, false},
    {Qt::Key_Menu, 0x5D, E},         {Qt::Key_Super_L, 0x5B, E},      {Qt::Key_Super_R, 0x5C, E},
    {Qt::Key_AltGr, 0xA5, E},
};

constexpr QtKeyVk kExtraKeys[] = {
    {Qt::Key_VolumeMute, 0xAD, E}, {Qt::Key_VolumeDown, 0xAE, E},    {Qt::Key_VolumeUp, 0xAF, E},
    {Qt::Key_MediaNext, 0xB0, E},  {Qt::Key_MediaPrevious, 0xB1, E}, {Qt::Key_MediaStop, 0xB2, E},
    {Qt::Key_MediaPlay, 0xB3, E},  {Qt::Key_MediaTogglePlayPause, 0xB3, E}, {Qt::Key_MediaPause, 0xB3, E},
};

// The US layout's symbols, shifted and not, by the key that types them.
constexpr QtKeyVk kUsSymbols[] = {
    {Qt::Key_Exclam, '1', false},      {Qt::Key_At, '2', false},          {Qt::Key_NumberSign, '3', false},
    {Qt::Key_Dollar, '4', false},      {Qt::Key_Percent, '5', false},     {Qt::Key_AsciiCircum, '6', false},
    {Qt::Key_Ampersand, '7', false},   {Qt::Key_Asterisk, '8', false},    {Qt::Key_ParenLeft, '9', false},
    {Qt::Key_ParenRight, '0', false},  {Qt::Key_Minus, 0xBD, false},      {Qt::Key_Underscore, 0xBD, false},
    {Qt::Key_Equal, 0xBB, false},      {Qt::Key_Plus, 0xBB, false},       {Qt::Key_BracketLeft, 0xDB, false},
    {Qt::Key_BraceLeft, 0xDB, false},  {Qt::Key_BracketRight, 0xDD, false}, {Qt::Key_BraceRight, 0xDD, false},
    {Qt::Key_Backslash, 0xDC, false},  {Qt::Key_Bar, 0xDC, false},        {Qt::Key_Semicolon, 0xBA, false},
    {Qt::Key_Colon, 0xBA, false},      {Qt::Key_Apostrophe, 0xDE, false}, {Qt::Key_QuoteDbl, 0xDE, false},
    {Qt::Key_QuoteLeft, 0xC0, false},  {Qt::Key_AsciiTilde, 0xC0, false}, {Qt::Key_Comma, 0xBC, false},
    {Qt::Key_Less, 0xBC, false},       {Qt::Key_Period, 0xBE, false},     {Qt::Key_Greater, 0xBE, false},
    {Qt::Key_Slash, 0xBF, false},      {Qt::Key_Question, 0xBF, false},
};

// With Qt::KeypadModifier: the keypad's own keys. Without Num Lock the
// keypad gives navigation keys; they record as the keypad keys they are.
constexpr QtKeyVk kKeypad[] = {
    {Qt::Key_Insert, 0x60, false},   {Qt::Key_End, 0x61, false},      {Qt::Key_Down, 0x62, false},
    {Qt::Key_PageDown, 0x63, false}, {Qt::Key_Left, 0x64, false},     {Qt::Key_Clear, 0x65, false},
    {Qt::Key_Right, 0x66, false},    {Qt::Key_Home, 0x67, false},     {Qt::Key_Up, 0x68, false},
    {Qt::Key_PageUp, 0x69, false},   {Qt::Key_Delete, 0x6E, false},   {Qt::Key_Period, 0x6E, false},
    {Qt::Key_Comma, 0x6E, false},    {Qt::Key_Asterisk, 0x6A, false}, {Qt::Key_Plus, 0x6B, false},
    {Qt::Key_Minus, 0x6D, false},    {Qt::Key_Slash, 0x6F, E},        {Qt::Key_Enter, 0x0D, E},
    {Qt::Key_Return, 0x0D, E},
};

template <std::size_t N>
const QtKeyVk* find(const QtKeyVk (&table)[N], int key) {
  for (const QtKeyVk& k : table)
    if (k.key == key) return &k;
  return nullptr;
}

KeyMessage message(uint32_t vk, bool extended, bool released) {
  return KeyMessage{vk, (extended ? kKeyFlagExtended : 0u) | (released ? kKeyFlagReleased : 0u)};
}

// Shift, Ctrl, Alt, Meta: the side from the keysym, left when there is none.
std::optional<KeyMessage> modifier(int key, uint32_t keysym, bool released) {
  switch (key) {
    case Qt::Key_Shift:
      return keysym == kXkShiftR ? message(0xA1, false, released) : message(0xA0, false, released);
    case Qt::Key_Control:
      return keysym == kXkControlR ? message(0xA3, E, released) : message(0xA2, false, released);
    case Qt::Key_Alt:
      return keysym == kXkAltR || keysym == kXkIsoLevel3Shift ? message(0xA5, E, released)
                                                              : message(0xA4, false, released);
    case Qt::Key_Meta:
      return keysym == kXkMetaR || keysym == kXkSuperR ? message(0x5C, E, released) : message(0x5B, E, released);
    default:
      return std::nullopt;
  }
}

}  // namespace

bool platform_has_xkb_keycodes(QStringView platform_name) {
  return platform_name == u"xcb" || platform_name.startsWith(u"wayland");
}

std::optional<KeyMessage> key_message_from_qt_key(int key, Qt::KeyboardModifiers modifiers,
                                                  uint32_t native_virtual_key, bool released, QtKeyGuess guess) {
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return message(0x70 + (key - Qt::Key_F1), false, released);
  if (const QtKeyVk* k = find(kExtraKeys, key)) return message(k->vk, k->extended, released);
  if (guess == QtKeyGuess::function_keys) return std::nullopt;

  if (modifiers & Qt::KeypadModifier) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return message(0x60 + (key - Qt::Key_0), false, released);
    if (const QtKeyVk* k = find(kKeypad, key)) return message(k->vk, k->extended, released);
  }
  if (auto m = modifier(key, native_virtual_key, released)) return m;
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
    return message(static_cast<uint32_t>(key), false, released);
  if (const QtKeyVk* k = find(kFixedKeys, key)) return message(k->vk, k->extended, released);
  if (const QtKeyVk* k = find(kUsSymbols, key)) return message(k->vk, k->extended, released);
  return std::nullopt;
}

std::optional<KeyMessage> key_message_of(const QKeyEvent& event, bool xkb_keycodes) {
  const QEvent::Type type = event.type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return std::nullopt;
  const bool released = type == QEvent::KeyRelease;
  QtKeyGuess guess = QtKeyGuess::all_keys;
  if (xkb_keycodes && event.nativeScanCode() != 0) {
    if (auto m = key_message_from_x11(event.nativeScanCode(), released)) return m;
    guess = QtKeyGuess::function_keys;
  }
  return key_message_from_qt_key(event.key(), event.modifiers(), event.nativeVirtualKey(), released, guess);
}

}  // namespace mt
