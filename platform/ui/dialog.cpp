#include "platform/ui/dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "platform/ui/dialog_impl.h"
#include "platform/ui/modal_ui.h"
#include "platform/ui/posted_call.h"
#include "platform/ui/qt_font.h"

namespace ui {

const char* const kTextProperty = "reelcastText";

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// How a static control shows its text: "&&" is a literal '&' and "&x" marks
// a mnemonic, unless the control asks for no prefix processing.
QString DisplayedStaticText(const std::string& text, unsigned style) {
  if (style & SS_NOPREFIX) return Q(text);
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return Q(shown);
}

Qt::WindowFlags FlagsFor(unsigned style) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
  return flags;
}

}  // namespace

Dialog::Dialog(DialogTemplate tmpl, Dialog* parent)
    : template_(std::move(tmpl)), parent_(parent), impl_(std::make_unique<Impl>()) {
  // Runs on any thread and touches nothing of the dialog there: the message
  // is queued to the application object, which lives longer than any
  // window, and handed to the dialog on the user-interface thread only if
  // the dialog is still there.
  static const PostedCalls calls;  // made here, on the application's thread
  port_ =
      std::make_shared<MessagePort>([target = target_](UINT message, WPARAM wParam, LPARAM lParam) {
        calls.Post([target, message, wParam, lParam] {
          if (*target) (*target)->SendMessage(message, wParam, lParam);
        });
      });
}

Dialog::~Dialog() {
  *target_ = nullptr;
  port_->Close();
  for (auto& [id, timer] : impl_->timers) timer.release()->deleteLater();
  impl_->timers.clear();
  delete impl_->window.data();
}

int Dialog::DoModal() { return Modal().RunModal(*this); }

bool Dialog::IsCreated() const { return impl_->window != nullptr; }

void Dialog::Create() {
  if (impl_->window) return;
  QWidget* parentWidget = parent_ ? parent_->Widget() : nullptr;
  auto* window = new DialogWindow(*this, parentWidget);
  impl_->window = window;
  window->setWindowFlags(FlagsFor(template_.style));
  window->setWindowTitle(Q(template_.caption));
  window->setAccessibleName(Q(template_.caption));

  QFont font(Q(template_.fontFace));
  font.setPointSize(template_.pointSize > 0 ? template_.pointSize : 8);
  impl_->templateFont = font;
  window->setFont(font);
  // Dialog base units as the original platform derives them from the dialog
  // font: the average width of the Latin letters and the character height.
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  impl_->baseX = std::max(1, (letters / 26 + 1) / 2);
  impl_->baseY = std::max(1, metrics.height());

  const PixelRect client = DialogUnitsToPixels(0, 0, template_.cx, template_.cy);
  window->setFixedSize(client.width, client.height);

  for (const ControlTemplate& c : template_.controls) {
    QWidget* widget = nullptr;
    const int id = c.id;
    switch (c.kind) {
      case ControlKind::PushButton: {
        auto* button = new QPushButton(Q(c.text), window);
        button->setDefault(c.style & BS_DEFPUSHBUTTON);
        button->setAutoDefault(true);
        QObject::connect(button, &QPushButton::clicked, window, [this, id] {
          SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0);
        });
        widget = button;
        break;
      }
      case ControlKind::Static:
      case ControlKind::Icon: {
        auto* label = new QLabel(window);
        Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
        if (c.style & SS_CENTER) align = Qt::AlignHCenter | Qt::AlignTop;
        if (c.style & SS_CENTERIMAGE) align = (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
        label->setAlignment(align);
        label->setWordWrap(!(c.style & SS_CENTERIMAGE));
        if (c.style & SS_SUNKEN) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (c.kind == ControlKind::Static) label->setText(DisplayedStaticText(c.text, c.style));
        widget = label;
        break;
      }
      case ControlKind::Edit: {
        auto* edit = new QLineEdit(Q(c.text), window);
        if (c.style & ES_CENTER) edit->setAlignment(Qt::AlignHCenter);
        widget = edit;
        break;
      }
      case ControlKind::ComboBox: {
        auto* combo = new QComboBox(window);
        for (const auto& item : c.items) combo->addItem(Q(item));
        combo->setCurrentIndex(-1);
        QObject::connect(combo, &QComboBox::activated, window, [this, id](int) {
          SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), CBN_SELCHANGE), 0);
        });
        widget = combo;
        break;
      }
      case ControlKind::ListBox: {
        auto* list = new QListWidget(window);
        list->setSortingEnabled(c.style & LBS_SORT);
        list->setVerticalScrollBarPolicy((c.style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded
                                                                : Qt::ScrollBarAlwaysOff);
        if (c.style & LBS_NOTIFY)
          QObject::connect(list, &QListWidget::currentRowChanged, window, [this, id](int) {
            if (impl_->programmaticChange) return;
            SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), LBN_SELCHANGE), 0);
          });
        widget = list;
        break;
      }
      case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(window);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setFormat(Q(c.text));
        bar->setAlignment(Qt::AlignCenter);
        widget = bar;
        break;
      }
    }
    widget->setProperty(kTextProperty, Q(c.text));
    widget->setFont(font);
    widget->setAccessibleName(DisplayedStaticText(c.text, 0));
    const PixelRect r = DialogUnitsToPixels(c.x, c.y, c.cx, c.cy);
    // A drop-down list's template height includes its open list.
    const int height =
        c.kind == ControlKind::ComboBox
            ? std::max(widget->sizeHint().height(), DialogUnitsToPixels(0, 0, 0, 14).height)
            : r.height;
    widget->setGeometry(r.x, r.y, r.width, height);
    widget->setVisible(c.style & WS_VISIBLE);
    widget->setEnabled(!(c.style & WS_DISABLED));
    if (c.kind == ControlKind::Icon && !impl_->icon.isNull())
      static_cast<QLabel*>(widget)->setPixmap(impl_->icon);
    impl_->controls.push_back({id, c.kind, widget});
  }

  if (!impl_->icon.isNull()) window->setWindowIcon(impl_->icon);
  window->setAcceptDrops(impl_->acceptsDroppedFiles);
  OnInitDialog();
}

int Dialog::Exec() {
  Create();
  if (ended_) return result_;
  impl_->window->exec();
  return result_;
}

void Dialog::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  for (auto& [id, timer] : impl_->timers) timer->stop();
  if (impl_->window) impl_->window->done(result);
}

Control Dialog::Item(int id) {
  for (const auto& entry : impl_->controls)
    if (entry.id == id && entry.widget) return Control(this, entry.id, entry.kind, entry.widget);
  return {};
}

std::vector<Control> Dialog::Children() {
  std::vector<Control> children;
  for (const auto& entry : impl_->controls)
    if (entry.widget) children.push_back(Control(this, entry.id, entry.kind, entry.widget));
  return children;
}

void Dialog::SetWindowText(const std::string& text) {
  template_.caption = text;
  if (impl_->window) {
    impl_->window->setWindowTitle(Q(text));
    impl_->window->setAccessibleName(Q(text));
  }
}

std::string Dialog::GetWindowText() const {
  return impl_->window ? impl_->window->windowTitle().toStdString() : template_.caption;
}

void Dialog::SetFont(const LogFont& font) { dialogFont_ = font; }

void Dialog::SetIcon(const char* const* xpm) {
  impl_->icon = QPixmap(xpm);
  if (!impl_->window) return;
  impl_->window->setWindowIcon(impl_->icon);
  for (const auto& entry : impl_->controls)
    if (entry.kind == ControlKind::Icon && entry.widget)
      static_cast<QLabel*>(entry.widget.data())->setPixmap(impl_->icon);
}

LRESULT Dialog::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return WindowProc(message, wParam, lParam);
}

void Dialog::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  port_->Post(message, wParam, lParam);
}

void Dialog::SetTimer(unsigned id, unsigned milliseconds) {
  Create();
  auto& timer = impl_->timers[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, impl_->window.data(),
                     [this, id] { SendMessage(WM_TIMER, id, 0); });
  }
  timer->start(static_cast<int>(milliseconds));
}

void Dialog::KillTimer(unsigned id) {
  auto it = impl_->timers.find(id);
  if (it == impl_->timers.end()) return;
  it->second->stop();
  // The timer may be the one whose tick is being handled right now.
  it->second.release()->deleteLater();
  impl_->timers.erase(it);
}

bool Dialog::HasTimer(unsigned id) const { return impl_->timers.count(id) != 0; }

void Dialog::DragAcceptFiles(bool accept) {
  impl_->acceptsDroppedFiles = accept;
  if (impl_->window) impl_->window->setAcceptDrops(accept);
}

bool Dialog::AcceptsDroppedFiles() const { return impl_->acceptsDroppedFiles; }

bool Dialog::IsWindowVisible() const { return impl_->window && impl_->window->isVisible(); }

bool Dialog::IsActiveWindow() const { return impl_->window && impl_->window->isActiveWindow(); }

void Dialog::ClientToScreen(int& x, int& y) const {
  if (!impl_->window) return;
  const QPoint global = impl_->window->mapToGlobal(QPoint(x, y));
  x = global.x();
  y = global.y();
}

Dialog::PixelRect Dialog::DialogUnitsToPixels(int x, int y, int cx, int cy) const {
  auto scale = [](int units, int base, int divisor) {
    return (units * base + divisor / 2) / divisor;
  };
  return {scale(x, impl_->baseX, 4), scale(y, impl_->baseY, 8), scale(cx, impl_->baseX, 4),
          scale(cy, impl_->baseY, 8)};
}

QWidget* Dialog::Widget() const { return impl_->window.data(); }

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultWindowProc(message, wParam, lParam);
}

LRESULT Dialog::DefaultWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = static_cast<int>(LOWORD(wParam));
      if (OnCommand(id, static_cast<int>(HIWORD(wParam)))) return 0;
      if (id == IDOK) OnOK();
      else if (id == IDCANCEL) OnCancel();
      return 0;
    }
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_TIMER:
      OnTimer(static_cast<unsigned>(wParam));
      return 0;
    default:
      return OnMessage(message, wParam, lParam);
  }
}

}  // namespace ui
