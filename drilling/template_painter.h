#pragma once
// Draws the laid-out drilling template one to one: a millimetre of the layout
// is a millimetre on paper, whatever the device's resolution.

#include "drilling/template_layout.h"

#include <QString>

class QPainter;
class QPagedPaintDevice;

namespace sorrel {

// Draws every sheet on `device` through an active `painter`, starting a new
// page between sheets. The device's origin must be the sheet's top-left
// corner (a full-page printer, or a PDF writer without margins).
void paint_template(QPainter& painter, QPagedPaintDevice& device, const TemplateLayout& layout);

// Writes the template as a PDF at `path`, replacing any file there only once
// the whole document is written. The document asks viewers to print it
// unscaled. Returns an empty text, or why the file was not written.
QString write_template_pdf(const TemplateLayout& layout, const QString& path);

} // namespace sorrel
