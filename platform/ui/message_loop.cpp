#include "platform/ui/message_loop.h"

#include <QEventLoop>
#include <QTimer>

namespace ui {

void RunMessageLoop(const std::function<bool()>& tick, unsigned periodMilliseconds) {
  QEventLoop loop;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    if (tick()) loop.quit();
  });
  timer.start(static_cast<int>(periodMilliseconds));
  if (!tick()) loop.exec();
}

}  // namespace ui
