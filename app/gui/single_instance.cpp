#include "app/gui/single_instance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <chrono>

namespace tolvane {
namespace {

// A lock file older than this whose holder's kernel lock is gone counts as left behind, even
// when its contents say nothing about the holder (a copy that died while writing it). A live
// holder keeps its kernel lock, so its file is never taken however old it is.
constexpr std::chrono::milliseconds kLeftBehindAfter{5000};

}  // namespace

SingleInstanceLock::SingleInstanceLock(const QString& name, const QString& folder) {
  const QString dir =
      folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : folder;
  if (dir.isEmpty()) {
    return;
  }
  path_ = QDir(dir).filePath(name);
  lock_ = std::make_unique<QLockFile>(path_);
  lock_->setStaleLockTime(kLeftBehindAfter);
}

SingleInstanceLock::~SingleInstanceLock() { Release(); }

SingleInstanceLock::Outcome SingleInstanceLock::TryAcquire() {
  if (!lock_) {
    return Outcome::kUnavailable;
  }
  if (lock_->tryLock(std::chrono::milliseconds(0))) {
    return Outcome::kAcquired;
  }
  return lock_->error() == QLockFile::LockFailedError ? Outcome::kHeldElsewhere
                                                      : Outcome::kUnavailable;
}

void SingleInstanceLock::Release() {
  if (lock_ && lock_->isLocked()) {
    lock_->unlock();
  }
}

}  // namespace tolvane
