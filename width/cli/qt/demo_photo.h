#pragma once
// The photographs of the sample project, drawn with QtGui: a magnified concrete surface (grey
// with texture noise, pores and sand grains), a dark irregular crack as wide as the record's
// width at the photograph's scale, a thin branch, a scale bar of 1 mm with its label and the
// record's name and width in a corner, as a crack width meter's camera shows them. The same
// record and size always give the same picture.

#include "width/cli/demo_project.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace fallowmere::demo {

// Pixels per millimetre of a photograph `width` pixels wide (its view is 6.4 mm across).
double pixelsPerMillimetre(int width);

QImage drawCrackPhoto(const DemoRecord& record, QSize size);

// The file's bytes: JPEG (quality 90) or BMP; empty when the image cannot be encoded.
QByteArray encodePhoto(const QImage& image, PhotoFormat format);

} // namespace fallowmere::demo
