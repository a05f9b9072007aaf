#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace tolvane {

// A per-user named lock that the system frees when its holder dies: a lock file in the user's
// runtime folder, held with a kernel lock for as long as the holding process lives.
class SingleInstanceLock {
 public:
  enum class Outcome {
    kAcquired,       // this process holds the lock now
    kHeldElsewhere,  // a running process holds it
    kUnavailable,    // no lock could be made (no runtime folder, no rights): run unguarded
  };

  // `folder` empty: the user's runtime folder.
  explicit SingleInstanceLock(const QString& name, const QString& folder = QString());
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  Outcome TryAcquire();
  // Gives the lock up if this process holds it; otherwise does nothing.
  void Release();

  // The lock file's path; empty when there is no folder for it.
  const QString& FilePath() const { return path_; }

 private:
  QString path_;
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace tolvane
