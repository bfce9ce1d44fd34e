#pragma once
// What a page hears from the controls it holds: an edit box's text change, a button's click and
// a spin arrow's click, each with the control's id. Numeric fields (CUDEdit) and the pages'
// own spin and pan controls deliver them at once, inside the event that caused them; the page
// decides, by its own guards, whether to act.

// Notification codes of OnCommand.
inline constexpr int BN_CLICKED = 0;
inline constexpr int EN_CHANGE = 0x0300;
// The scroll code of a spin click in OnVScroll.
inline constexpr int SB_THUMBPOSITION = 4;

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // A control's notification (code EN_CHANGE, BN_CLICKED) with the control's id.
  virtual void OnCommand(int notifyCode, int controlId) = 0;
  // A spin click: code SB_THUMBPOSITION, position 0 for the up arrow and 1 for the down arrow,
  // and the spin's id.
  virtual void OnVScroll(int code, int position, int spinId) = 0;
};
