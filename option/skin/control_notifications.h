// What the skinned controls tell their owner. Each notification of the design
// is a Qt signal of the control carrying the same values (the value and the
// control id); the numbers below are the design's message numbers, named once
// here so that a reader can map every signal to it.
//
//   number  design name        signal
//   273     WM_COMMAND         CBitmapBtn/CRgnButton::command(id)
//   1094    WM_USER+70         CClickHSlider/CPHSlider::position_changed(value, id)
//   1104    WM_USER+80         CDMarker::marker_moved(value, id)
//   1114    WM_USER+90         CSpinWnd/CSpecialSpinWnd::value_changed(value, id)
//   1116    WM_USER+92         CBmpEdit::edit_notify(code, id)
//   "BitmapEdit_KillFocus"     CBmpEdit::kill_focus(id)
//   1124    WM_USER+100        CBitmapBtn/CRgnButton::hover_changed(entered, id)
//   1125    WM_USER+101        CBitmapBtn/CRgnButton::status_hint(entered, hint)
//   1524    WM_USER+500        CListBoxEx::edit_committed(row, id)
//   1724    WM_USER+700        CListBoxEx::right_button(id)
#pragma once

namespace mt {

inline constexpr int kNotifyCommand = 273;           // WM_COMMAND: click released over a button
inline constexpr int kNotifySliderPosition = 1094;   // WM_USER+70: slider moved by click or drag
inline constexpr int kNotifyMarkerMoved = 1104;      // WM_USER+80: marker dragged
inline constexpr int kNotifySpinValue = 1114;        // WM_USER+90: spin value by button or typing
inline constexpr int kNotifyBitmapEdit = 1116;       // WM_USER+92: numeric edit
inline constexpr int kNotifyHover = 1124;            // WM_USER+100: pointer entered (1) or left (0)
inline constexpr int kNotifyStatusHint = 1125;       // WM_USER+101: hover, for the status line
inline constexpr int kNotifyListEditCommitted = 1524;  // WM_USER+500: in-place edit committed
inline constexpr int kNotifyListRightButton = 1724;    // WM_USER+700: right button in a list

// The registered message of the numeric edit losing the focus.
inline constexpr char kBitmapEditKillFocus[] = "BitmapEdit_KillFocus";

// The codes of kNotifyBitmapEdit.
inline constexpr int kBitmapEditEnterReleased = 13;  // the Enter key was released
inline constexpr int kBitmapEditChanged = 1;         // the user changed the text

}  // namespace mt
