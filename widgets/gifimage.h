#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QRect>
#include <QRgb>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

// One image block of a GIF file: its place on the logical screen, its colour table, its
// compressed data as read, and the decoded colour indices once asked for.
class TGIFFrame {
public:
    // The frame's rectangle on the logical screen, as the file gives it (it may lie partly or
    // wholly outside the screen: whoever draws it clips).
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    QRect rect() const { return {m_left, m_top, m_width, m_height}; }

    // The local colour table, or the global one when the frame has none; the transparent entry
    // (if any) already made unique. Pixels whose index lies beyond the table show opaque black.
    QList<QRgb> colorTable() const;
    bool interlaced() const { return m_interlaced; }
    // The transparent colour, made unique within the colour table, or none.
    std::optional<QRgb> transparentColor() const;
    // Index of the transparent entry, -1 when there is none.
    int transparentIndex() const { return m_transparentIndex; }
    // Display interval in milliseconds (0 when the file gives none).
    quint16 interval() const { return m_interval; }
    // Disposal method: 0 none, 1 leave in place, 2 restore to background, 3 restore to previous.
    int disposal() const { return m_disposal; }
    // Set when decoding found the compressed data damaged or cut short.
    bool damaged() const { return m_damaged; }

    // The LZW minimum code size byte and the image data with the sub-block lengths taken out.
    int codeSize() const { return m_codeSize; }
    const QByteArray& compressedData() const { return m_data; }

    bool decoded() const { return m_decoded; }
    // Width x Height colour indices, rows top to bottom, decoded on the first call and then held.
    const std::vector<uint8_t>& bitmap();
    // The frame's pixels as a Width x Height QImage::Format_ARGB32: indices expanded through the
    // colour table, the transparent pixels with alpha 0 (their RGB is the transparent colour).
    QImage image();
    // Draws the frame at its rectangle; transparent pixels are left unpainted.
    void draw(QPainter& painter);

private:
    friend class TGIFImage;
    void decode();

    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    QList<QRgb> m_table; // shared with the global table when the frame has no local one
    bool m_interlaced = false;
    int m_transparentIndex = -1;
    QRgb m_transparentRgb = 0;
    quint16 m_interval = 0;
    int m_disposal = 0;
    int m_codeSize = 0;
    QByteArray m_data;
    bool m_truncated = false; // the data ended inside a sub-block
    bool m_damaged = false;
    bool m_decoded = false;
    std::vector<uint8_t> m_bitmap;
};

// A GIF87a/89a picture: logical screen, colour tables and frames. Only the first frame is decoded
// while loading; the others are decoded the first time they are asked for.
//
// Input is untrusted. A logical screen or frame of more than kMaxPixels pixels, or frames whose
// pixels add up to more than kMaxTotalPixels, fail the load ("GIF picture too large"), so the
// memory a file can make us take is bounded whatever its size fields say.
class TGIFImage : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kMaxPixels = 16 * 1024 * 1024;
    static constexpr qint64 kMaxTotalPixels = 256 * 1024 * 1024;

    explicit TGIFImage(QObject* parent = nullptr);
    ~TGIFImage() override;

    // Each load first discards everything held. A failed load throws platform::Error ("Unknown
    // GIF version", "Unrecognized extension block: xx", "Stream read error", "GIF picture too
    // large", or the file's open error) and keeps the frames read before the failure; Changed is
    // emitted only when a load completes.
    void LoadGifFile(const QString& path);
    // Loads the compiled-in Qt resource ":/" + name.
    void LoadGifResource(const QString& name);
    void LoadFromData(const QByteArray& data);

    int FrameCount() const { return int(m_frames.size()); }
    TGIFFrame& Frame(int index) { return *m_frames.at(size_t(index)); }
    const TGIFFrame& Frame(int index) const { return *m_frames.at(size_t(index)); }
    // -1 while there are no frames, 0 after a load that found frames.
    int FrameIndex() const { return m_frameIndex; }

    // The logical screen; 0 x 0 for an empty picture.
    int Width() const { return Empty() ? 0 : m_width; }
    int Height() const { return Empty() ? 0 : m_height; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    const QList<QRgb>& GlobalColorTable() const { return m_globalTable; }
    // The global table's entry at the background index; none without a global table or when the
    // index lies outside it.
    std::optional<QRgb> BackgroundColor() const { return m_background; }

    // No frames, or the current frame has neither compressed data nor a bitmap.
    bool Empty() const;
    // On at creation.
    bool TransparentFlag() const { return m_transparentFlag; }
    void setTransparentFlag(bool on) { m_transparentFlag = on; }
    // The flag is on and at least one frame has a transparent colour.
    bool IsTransparent() const;

signals:
    // At the end of every load that completes.
    void Changed();

private:
    void clear();
    void parse(const QByteArray& data);

    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    QList<QRgb> m_globalTable;
    std::optional<QRgb> m_background;
    std::vector<std::unique_ptr<TGIFFrame>> m_frames;
    int m_frameIndex = -1;
    bool m_transparentFlag = true;
};
