#include "mainwin/windows/WidgetKit.h"

#include <QGroupBox>
#include <QPushButton>

namespace qarno {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* b = Named(new QPushButton(caption, parent), name);
  b->setAutoDefault(false);
  return b;
}

QGroupBox* Frame(QWidget* parent, const char* name, const QString& caption) {
  return Named(new QGroupBox(caption, parent), name);
}

QString LabelText(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  return text;
}

}  // namespace qarno
