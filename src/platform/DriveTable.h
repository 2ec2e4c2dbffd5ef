// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Maps drive letters to host directories, so that Windows paths mean something on Linux.
// C: is "/" unless the settings say otherwise; a letter without a mapping behaves like a
// drive that does not exist. Letters compare without case.
#include <QString>
#include <array>
#include <optional>

namespace qarno {

class DriveTable {
 public:
  DriveTable();  // C: → "/"

  void Map(QChar letter, const QString& hostDir);
  void Unmap(QChar letter);
  std::optional<QString> HostDir(QChar letter) const;

  // "D:\x\y" → "<host of D>/x/y"; nullopt for a path without a drive or on an unmapped drive.
  std::optional<QString> ToHost(const QString& winPath) const;
  // The Windows path of a host path: the mapped directory that holds it most closely wins.
  // nullopt when no drive holds it or a name contains "\" (no Windows path can say it).
  std::optional<QString> FromHost(const QString& hostPath) const;

 private:
  std::array<QString, 26> dirs_;  // empty = unmapped
};

}  // namespace qarno
