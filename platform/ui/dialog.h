#pragma once
// A modal dialog built from a template, with its controls reached by id and
// the few window messages the program handles routed through WindowProc.
// Qt stays behind this interface.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/dialog_template.h"
#include "platform/ui/log_font.h"
#include "platform/ui/message_port.h"
#include "platform/ui/win_constants.h"

class QWidget;

namespace ui {

class Dialog;

// A small handle to one control of a dialog. A handle for an id the dialog
// does not have is empty: its setters do nothing and its getters give empty
// values.
class Control {
 public:
  Control() = default;

  explicit operator bool() const { return widget_ != nullptr; }
  int Id() const { return id_; }
  ControlKind Kind() const { return kind_; }

  void SetText(const std::string& text);
  // At most maxChars bytes of the text (a buffer of maxChars + 1).
  std::string Text(std::size_t maxChars = 4095) const;
  void Enable(bool enabled);
  bool IsEnabled() const;
  void Show(bool visible);
  // Whether the control itself is shown (not whether its window is on screen).
  bool IsVisible() const;
  void SetFont(const LogFont& font);
  LogFont Font() const;
  // The name a screen reader gives the control, when it is not its text.
  void SetAccessibleName(const std::string& name);

  // Progress bars: the position, 0 to 100.
  void SetPos(int position);
  int GetPos() const;

  // Combo and list boxes. Indexes are 0-based; -1 means no selection.
  void ResetContent();
  int AddString(const std::string& text);
  int InsertString(int index, const std::string& text);
  int DeleteString(int index);
  // Selects an item; an index that does not exist leaves no selection.
  int SetCurSel(int index);
  int GetCurSel() const;
  int GetCount() const;
  std::string GetItemText(int index) const;

  // What a user does: press a button, pick an item, type into an edit.
  // Each sends the notification the dialog would receive.
  void Click();
  void SelectAsUser(int index);
  void TypeAsUser(const std::string& text);

 private:
  friend class Dialog;
  Control(Dialog* owner, int id, ControlKind kind, QWidget* widget)
      : owner_(owner), id_(id), kind_(kind), widget_(widget) {}
  Dialog* owner_ = nullptr;
  int id_ = 0;
  ControlKind kind_ = ControlKind::Static;
  QWidget* widget_ = nullptr;
};

class Dialog {
 public:
  explicit Dialog(DialogTemplate tmpl, Dialog* parent = nullptr);
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally (through the installed ModalUi) and returns the
  // value given to EndDialog.
  int DoModal();

  // Builds the window and its controls, then runs OnInitDialog. Called by
  // the modal runner; calling it again does nothing.
  void Create();
  bool IsCreated() const;
  // Shows the created dialog and runs its modal loop until EndDialog.
  int Exec();

  void EndDialog(int result);
  bool HasEnded() const { return ended_; }
  int Result() const { return result_; }

  const DialogTemplate& Template() const { return template_; }
  Dialog* Parent() const { return parent_; }

  Control Item(int id);
  // Every control in template order.
  std::vector<Control> Children();

  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;
  // The dialog's own font (what WM_SETFONT to the dialog sets); controls keep
  // theirs.
  void SetFont(const LogFont& font);
  std::optional<LogFont> DialogFont() const { return dialogFont_; }
  void SetIcon(const char* const* xpm);

  // Delivers a message now, through WindowProc.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Thread-safe; delivered later on the user-interface thread.
  void PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // The port other threads use to post to this window.
  WindowPort Port() const { return port_; }

  // Window timers: WM_TIMER with the id arrives every `milliseconds`.
  void SetTimer(unsigned id, unsigned milliseconds);
  void KillTimer(unsigned id);
  bool HasTimer(unsigned id) const;

  // Whether files dragged from a file manager may be dropped on the window
  // (OnDropFiles receives them); off until asked for.
  void DragAcceptFiles(bool accept);
  bool AcceptsDroppedFiles() const;
  // Whether the window is on screen, and whether it is the one the user is
  // working in.
  bool IsWindowVisible() const;
  bool IsActiveWindow() const;

  // Maps a point in the dialog's client area to screen coordinates.
  void ClientToScreen(int& x, int& y) const;
  // Converts a rectangle in dialog units to pixels with the dialog font.
  struct PixelRect {
    int x, y, width, height;
  };
  PixelRect DialogUnitsToPixels(int x, int y, int cx, int cy) const;

  // The Qt widget behind the dialog, for the platform's own use.
  QWidget* Widget() const;

 protected:
  // Every message the dialog receives passes here first.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // What WindowProc does when a derived class passes a message on.
  LRESULT DefaultWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  virtual bool OnInitDialog() { return true; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // A command from a control or menu; true when handled.
  virtual bool OnCommand(int /*id*/, int /*notification*/) { return false; }
  virtual void OnTimer(unsigned /*id*/) {}
  // WM_CLOSE: by default the cancel command.
  virtual void OnClose() { SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); }
  // Any other message.
  virtual LRESULT OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }
  // Local files dropped on the window, when it accepts them, in the order
  // the drop gave them.
  virtual void OnDropFiles(const std::vector<std::string>& /*paths*/) {}

 private:
  friend class Control;
  friend class DialogWindow;
  struct Impl;
  friend struct Impl;

  DialogTemplate template_;
  Dialog* parent_;
  std::unique_ptr<Impl> impl_;
  // This dialog while it exists; read and cleared on the user-interface
  // thread only.
  std::shared_ptr<Dialog*> target_ = std::make_shared<Dialog*>(this);
  WindowPort port_;
  std::optional<LogFont> dialogFont_;
  bool ended_ = false;
  int result_ = IDCANCEL;
};

}  // namespace ui
