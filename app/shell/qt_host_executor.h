// The shredder control's way to the user-interface thread: queued invocations
// on an object of that thread, and processEvents as the pump.
#pragma once

#include <QObject>
#include <memory>

#include "host_executor.h"

namespace corvane {

class QtHostExecutor final : public purgewell::HostExecutor {
 public:
  // Made on the user-interface thread.
  QtHostExecutor();
  ~QtHostExecutor() override;

  void Post(std::function<void()> task) override;
  void Pump() override;

 private:
  std::unique_ptr<QObject> context_;
};

}  // namespace corvane
