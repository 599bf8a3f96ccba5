#include "qt_host_executor.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace corvane {

QtHostExecutor::QtHostExecutor() : context_(std::make_unique<QObject>()) {}
QtHostExecutor::~QtHostExecutor() = default;

void QtHostExecutor::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(context_.get(), std::move(task), Qt::QueuedConnection);
}

void QtHostExecutor::Pump() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace corvane
