#include "ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace mf {

QPixmap ProgramPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;

  // A rounded tile in deep teal ...
  QLinearGradient tile(0, 0, 0, s);
  tile.setColorAt(0, QColor(0x1f, 0x8a, 0x9e));
  tile.setColorAt(1, QColor(0x10, 0x4e, 0x6b));
  painter.setPen(Qt::NoPen);
  painter.setBrush(tile);
  painter.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.2, s * 0.2);

  // ... with a fin that doubles as a play sign: conversion starts here.
  QPainterPath fin;
  fin.moveTo(s * 0.34, s * 0.24);
  fin.cubicTo(s * 0.56, s * 0.30, s * 0.72, s * 0.40, s * 0.78, s * 0.50);
  fin.cubicTo(s * 0.72, s * 0.60, s * 0.56, s * 0.70, s * 0.34, s * 0.76);
  fin.cubicTo(s * 0.40, s * 0.60, s * 0.40, s * 0.40, s * 0.34, s * 0.24);
  painter.setBrush(QColor(0xf4, 0xfb, 0xfc));
  painter.drawPath(fin);
  painter.setBrush(QColor(0xff, 0xb3, 0x47));
  painter.drawEllipse(QPointF(s * 0.5, s * 0.5), s * 0.06, s * 0.06);
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(ProgramPixmap(size));
  return icon;
}

}  // namespace mf
