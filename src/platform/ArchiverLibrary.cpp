// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ArchiverLibrary.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <vector>

namespace qarno {

LoadedArchiver::LoadedArchiver(QString path) : path_(path.isEmpty() ? DefaultPath() : std::move(path)) {}

QString LoadedArchiver::DefaultPath() {
#ifdef _WIN32
  const QString name = QStringLiteral("UNLHA32.dll");
#else
  const QString name = QStringLiteral("libunlha32.so");
#endif
  const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
  const QString beside = dir + u'/' + name;
  if (QFileInfo::exists(beside)) return beside;
  // Installed layout: bin/ beside lib/.
  const QString installed = dir + QStringLiteral("/../lib/qarno/") + name;
  if (QFileInfo::exists(installed)) return installed;
  return beside;
}

bool LoadedArchiver::Load() {
  if (tried_) return loaded_;
  tried_ = true;
  if (!QFileInfo::exists(path_)) return false;
  lib_.setFileName(path_);
  if (!lib_.load()) return false;
  unlha_ = reinterpret_cast<UnlhaFn>(lib_.resolve("Unlha"));
  version_ = reinterpret_cast<VersionFn>(lib_.resolve("UnlhaGetVersion"));
  background_ = reinterpret_cast<ModeFn>(lib_.resolve("UnlhaSetBackGroundMode"));
  cursor_ = reinterpret_cast<ModeFn>(lib_.resolve("UnlhaSetCursorMode"));
  method_ = reinterpret_cast<ModeFn>(lib_.resolve("UnlhaSetMethod"));
  setObserver_ = reinterpret_cast<SetObserverFn>(lib_.resolve("UnlhaSetReadObserver"));
  loaded_ = unlha_ && version_ && background_ && cursor_;
  if (loaded_ && method_ && pendingMethod_) method_(pendingMethod_);
  return loaded_;
}

int LoadedArchiver::GetVersion() { return Load() ? version_() : -1; }

bool LoadedArchiver::SetBackGroundMode(bool on) { return Load() && (background_(on ? 1 : 0), true); }

bool LoadedArchiver::SetCursorMode(bool on) { return Load() && (cursor_(on ? 1 : 0), true); }

int LoadedArchiver::Unlha(const QString& commandLine, int outputLength) {
  if (!Load()) return -1;
  std::vector<char> output(static_cast<size_t>(std::max(outputLength, 1)), 0);
  const QByteArray cmd = commandLine.toLocal8Bit();
  return unlha_(nullptr, cmd.constData(), output.data(), static_cast<unsigned long>(output.size()));
}

namespace {
// The observer of the calling thread: the library keeps one per thread, and so does this
// side, so that copy workers packing at once each hash their own file.
thread_local ArchiverLibrary::ReadObserver t_observer;
}  // namespace

LoadedArchiver::~LoadedArchiver() {
  // The library outlives this object in the process: it must not call into it afterwards.
  if (loaded_ && setObserver_) setObserver_(nullptr, nullptr);
}

bool LoadedArchiver::SetReadObserver(ReadObserver observer) {
  if (!Load() || !setObserver_) return false;
  t_observer = std::move(observer);
  if (!t_observer) {
    setObserver_(nullptr, nullptr);
    return true;
  }
  auto trampoline = [](void* context, const void* data, unsigned long size) {
    (*static_cast<ReadObserver*>(context))(static_cast<const char*>(data), static_cast<size_t>(size));
  };
  setObserver_(+trampoline, &t_observer);
  return true;
}

void LoadedArchiver::SetMethod(int level) {
  pendingMethod_ = level;
  if (loaded_ && method_) method_(level);
}

}  // namespace qarno
