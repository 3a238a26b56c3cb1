#pragma once

#include <QImage>
#include <QWidget>
#include <QtMath>

// The off-screen pictures of the controls that draw themselves are made at the device pixel ratio
// of the screen the control is on, so that text and lines stay sharp at 1.5x and 2x. Painters on
// them work in the control's own (logical) coordinates.
namespace devicebuffer {

inline QSize deviceSize(QSize logical, qreal ratio) {
    return {qCeil(logical.width() * ratio), qCeil(logical.height() * ratio)};
}

// True when buffer is a picture of logical size at the widget's ratio.
inline bool fits(const QImage& buffer, const QWidget& widget, QSize logical) {
    const qreal ratio = widget.devicePixelRatioF();
    return !buffer.isNull() && buffer.devicePixelRatio() == ratio &&
           buffer.size() == deviceSize(logical, ratio);
}
inline bool fits(const QImage& buffer, const QWidget& widget) {
    return fits(buffer, widget, widget.size());
}

inline QImage make(const QWidget& widget, QSize logical, QImage::Format format) {
    const qreal ratio = widget.devicePixelRatioF();
    QImage image(deviceSize(logical, ratio), format);
    image.setDevicePixelRatio(ratio);
    return image;
}

} // namespace devicebuffer
