// Texts and small conversions that the main window's source files share.
#pragma once

#include <QString>
#include <string>

#include "ui/platform_services.h"

inline const QString kTitle = QStringLiteral("Quillmap4");
inline const QString kCaption = QStringLiteral(" Quillmap4");
inline const QString kCaptionWithProject = QStringLiteral(" Quillmap4  -  ");
inline const FileFilter kProjectFilter{QStringLiteral("Quillmap Project Files (*.dat)"),
                                       QStringLiteral("*.dat")};

inline QString qs(const std::string& text) { return QString::fromStdString(text); }
