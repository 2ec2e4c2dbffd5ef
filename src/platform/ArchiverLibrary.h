// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The LHA archiver library, outside the system and loaded on first use: UNLHA32.DLL on
// Windows, libunlha32.so beside the executable on Linux (or where the settings name it).
// Command lines carry native paths; relative names resolve against the process's current
// directory, which MakeDirPath has set.
#include <QLibrary>
#include <QString>
#include <functional>
#include <memory>

namespace qarno {

class ArchiverLibrary {
 public:
  virtual ~ArchiverLibrary() = default;
  // Loads the library when needed; false when it cannot be found or loaded.
  virtual bool Load() = 0;
  // Version × 100, or -1 when the library is not available.
  virtual int GetVersion() = 0;
  virtual bool SetBackGroundMode(bool on) = 0;
  virtual bool SetCursorMode(bool on) = 0;
  // Runs one command line; 0 is success. A library that is not available answers non-zero.
  virtual int Unlha(const QString& commandLine, int outputLength) = 0;
  // Selects the packing method (5, 6 or 7) where the library offers the choice.
  virtual void SetMethod(int level) = 0;
  // Shows the observer the original bytes of each file this thread packs from now on, in the
  // read that packs it (an empty block starts each file); an empty function stops it. Each
  // thread has its own: threads may pack at once (Load and SetMethod come first, on one
  // thread). False when the library cannot do it (an older one): the caller then knows
  // nothing of what was packed.
  using ReadObserver = std::function<void(const char* data, size_t size)>;
  virtual bool SetReadObserver(ReadObserver observer) {
    (void)observer;
    return false;
  }
};

class LoadedArchiver : public ArchiverLibrary {
 public:
  // An empty path looks beside the executable; tests name a file of their own.
  explicit LoadedArchiver(QString path = QString());
  ~LoadedArchiver() override;
  bool Load() override;
  int GetVersion() override;
  bool SetBackGroundMode(bool on) override;
  bool SetCursorMode(bool on) override;
  int Unlha(const QString& commandLine, int outputLength) override;
  void SetMethod(int level) override;
  bool SetReadObserver(ReadObserver observer) override;

  QString path() const { return path_; }
  static QString DefaultPath();

 private:
  using UnlhaFn = int (*)(void*, const char*, char*, unsigned long);
  using VersionFn = unsigned short (*)();
  using ModeFn = int (*)(int);

  QString path_;
  QLibrary lib_;
  bool tried_ = false;
  bool loaded_ = false;
  UnlhaFn unlha_ = nullptr;
  VersionFn version_ = nullptr;
  ModeFn background_ = nullptr;
  ModeFn cursor_ = nullptr;
  ModeFn method_ = nullptr;
  using ObserverFn = void (*)(void*, const void*, unsigned long);
  using SetObserverFn = int (*)(ObserverFn, void*);
  SetObserverFn setObserver_ = nullptr;
  int pendingMethod_ = 0;
};

}  // namespace qarno
