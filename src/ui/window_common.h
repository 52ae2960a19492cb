// Texts, filters and small helpers that the window's views, controllers and
// dialogs share.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <string>

#include "model/area_grid.h"
#include "ui/platform_services.h"

inline const QString kTitle = QStringLiteral("Quillmap4");
inline const QString kCaption = QStringLiteral(" Quillmap4");
inline const QString kCaptionWithProject = QStringLiteral(" Quillmap4  -  ");
inline const FileFilter kProjectFilter{QStringLiteral("Quillmap Project Files (*.dat)"),
                                       QStringLiteral("*.dat")};

inline QString qs(const std::string& text) { return QString::fromStdString(text); }

// "cell 123, 120, area 5, 28"
inline QString areaText(const qm4::AreaNumbers& a) {
    return QStringLiteral("cell %1, %2, area %3, %4")
        .arg(a.cellX)
        .arg(a.cellY)
        .arg(a.areaX)
        .arg(a.areaY);
}

inline const QList<FileFilter> kPictureFilters{
    {QStringLiteral("Picture Files (*.bmp;*.jpg;*.gif)"), QStringLiteral("*.bmp;*.jpg;*.gif")},
    {QStringLiteral("All Pictures (*.bmp *.jpg *.jpeg *.gif *.png)"),
     QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif;*.png")}};

// The GIS files a shape is imported from, and the batch's input.
inline const QList<FileFilter> kShapeFilters{
    {QStringLiteral("Vector Files (*.geojson *.json *.kml *.gpx *.shp *.gpkg *.osm *.pbf *.csv)"),
     QStringLiteral("*.geojson;*.json;*.kml;*.gpx;*.shp;*.gpkg;*.osm;*.pbf;*.csv")},
    {QStringLiteral("All Files (*)"), QStringLiteral("*")}};

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline void paintText(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}
