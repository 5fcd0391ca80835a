#include "common/qt/page_painter.h"

#include "common/qt/picture_file.h"

#include <QColor>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRectF>

#include <algorithm>
#include <mutex>

namespace tessera {
namespace {

enum class FontKind { CjkSerif, CjkSans, LatinSans, LatinSerif, Other };

bool isOneOf(const QString& face, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (face.compare(QString::fromUtf8(n), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

FontKind kindOf(const QString& face) {
    if (isOneOf(face, {"宋体", "SimSun", "新宋体", "NSimSun", "仿宋", "FangSong", "仿宋_GB2312",
                       "楷体", "KaiTi", "楷体_GB2312", "MingLiU", "PMingLiU", "细明体"}))
        return FontKind::CjkSerif;
    if (isOneOf(face, {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei"}))
        return FontKind::CjkSans;
    if (isOneOf(face, {"Arial", "Helvetica", "MS Sans Serif", "Microsoft Sans Serif", "Tahoma",
                       "Verdana", "Segoe UI"}))
        return FontKind::LatinSans;
    if (isOneOf(face, {"Times New Roman", "Times", "MS Serif"}))
        return FontKind::LatinSerif;
    return FontKind::Other;
}

// Stand-ins in order of preference. The first ones are metric-compatible where such a font
// exists (Liberation Sans and Arimo have Arial's widths).
const std::initializer_list<const char*> kCjkSerif = {"SimSun",
                                                      "宋体",
                                                      "NSimSun",
                                                      "新宋体",
                                                      "Noto Serif CJK SC",
                                                      "Source Han Serif SC",
                                                      "Source Han Serif CN",
                                                      "Noto Serif SC",
                                                      "AR PL UMing CN",
                                                      "AR PL SungtiL GB",
                                                      "AR PL New Sung",
                                                      "Noto Serif CJK TC",
                                                      "Noto Serif CJK JP",
                                                      "AR PL UMing TW"};
const std::initializer_list<const char*> kCjkSans = {"SimHei",
                                                     "黑体",
                                                     "Microsoft YaHei",
                                                     "Noto Sans CJK SC",
                                                     "Source Han Sans SC",
                                                     "Source Han Sans CN",
                                                     "Noto Sans SC",
                                                     "WenQuanYi Zen Hei",
                                                     "WenQuanYi Micro Hei",
                                                     "Droid Sans Fallback",
                                                     "Noto Sans CJK TC",
                                                     "Noto Sans CJK JP"};
const std::initializer_list<const char*> kLatinSans = {
    "Arial",    "Liberation Sans", "Arimo",       "Nimbus Sans", "Nimbus Sans L", "Helvetica",
    "FreeSans", "TeX Gyre Heros",  "DejaVu Sans", "Noto Sans",   "Open Sans"};
const std::initializer_list<const char*> kLatinSerif = {
    "Times New Roman", "Liberation Serif", "Tinos",        "Nimbus Roman", "Nimbus Roman No9 L",
    "FreeSerif",       "TeX Gyre Termes",  "DejaVu Serif", "Noto Serif"};

class FamilyIndex {
public:
    FamilyIndex() {
        for (const QString& f : QFontDatabase::families())
            m_lower.insert(f.toLower(), f);
        for (const QString& f : QFontDatabase::families(QFontDatabase::SimplifiedChinese))
            m_chinese.append(f);
    }
    // The installed family named `name` (case-insensitive, no aliases), or empty.
    QString installed(const QString& name) const { return m_lower.value(name.toLower()); }
    const QStringList& chinese() const { return m_chinese; }

private:
    QHash<QString, QString> m_lower;
    QStringList m_chinese;
};

void appendInstalled(const FamilyIndex& index, std::initializer_list<const char*> names,
                     QStringList& out) {
    for (const char* n : names) {
        QString f = index.installed(QString::fromUtf8(n));
        if (!f.isEmpty() && !out.contains(f))
            out.append(f);
    }
}

// Installed fonts covering Simplified Chinese, serif-looking (Song, Ming, Serif) ones first
// when `serif`, sans ones first otherwise.
void appendAnyChinese(const FamilyIndex& index, bool serif, QStringList& out) {
    auto looksSerif = [](const QString& f) {
        return f.contains(QLatin1String("Serif"), Qt::CaseInsensitive) ||
               f.contains(QLatin1String("Song"), Qt::CaseInsensitive) ||
               f.contains(QLatin1String("Ming"), Qt::CaseInsensitive) ||
               f.contains(QString::fromUtf8("宋"));
    };
    QStringList first, rest;
    for (const QString& f : index.chinese()) {
        if (out.contains(f))
            continue;
        (looksSerif(f) == serif ? first : rest).append(f);
    }
    out += first;
    out += rest;
}

QStringList computeFamilies(const QString& face) {
    const FamilyIndex index;
    QStringList out;
    if (QString f = index.installed(face); !f.isEmpty())
        out.append(f);
    switch (kindOf(face)) {
    case FontKind::CjkSerif:
        appendInstalled(index, kCjkSerif, out);
        appendAnyChinese(index, true, out);
        break;
    case FontKind::CjkSans:
        appendInstalled(index, kCjkSans, out);
        appendAnyChinese(index, false, out);
        break;
    case FontKind::LatinSans:
        appendInstalled(index, kLatinSans, out);
        appendInstalled(index, kCjkSans, out);
        appendAnyChinese(index, false, out);
        break;
    case FontKind::LatinSerif:
        appendInstalled(index, kLatinSerif, out);
        appendInstalled(index, kCjkSerif, out);
        appendAnyChinese(index, true, out);
        break;
    case FontKind::Other:
        if (out.isEmpty())
            out.append(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        appendInstalled(index, kCjkSans, out);
        appendAnyChinese(index, false, out);
        break;
    }
    if (out.isEmpty()) // no font at all that we know: let Qt's own matching choose
        out.append(face);
    return out;
}

// One line of text in `r`, as DrawText(DT_SINGLELINE | DT_VCENTER) with DT_CENTER or DT_LEFT
// does: the baseline comes from the requested font's own ascent and descent, so a Chinese
// fallback glyph inside a Latin cell (or the other way round) does not move the line; the text
// is cut off at the rectangle when it does not fit.
void drawLine(QPainter& painter, const PageRect& r, const QString& text, TextAlign align) {
    const QFontMetricsF fm = painter.fontMetrics();
    const qreal width = r.right - r.left;
    const qreal height = r.bottom - r.top;
    const qreal advance = fm.horizontalAdvance(text);
    const qreal lineHeight = fm.ascent() + fm.descent();
    const qreal x = align == TextAlign::Left ? r.left : r.left + (width - advance) / 2;
    const QPointF origin(x, r.top + (height - lineHeight) / 2 + fm.ascent());
    const bool clip = advance > width || lineHeight > height;
    if (clip) {
        painter.save();
        painter.setClipRect(QRectF(r.left, r.top, width, height), Qt::IntersectClip);
    }
    painter.drawText(origin, text);
    if (clip)
        painter.restore();
}

QSize sizeOf(const PageRect& r) {
    return QSize(r.right - r.left, r.bottom - r.top);
}

} // namespace

DecodedPicture decodePictureFor(const PageOp& op) {
    DecodedPicture picture;
    if (op.kind == PageOpKind::Image && !sizeOf(op.rect).isEmpty())
        picture.image = decodePicture(op.imagePath, sizeOf(op.rect), QRect(), &picture.reason);
    return picture;
}

std::vector<DecodedPicture> decodePagePictures(const std::vector<PageOp>& ops) {
    std::vector<DecodedPicture> pictures;
    for (const PageOp& op : ops)
        if (op.kind == PageOpKind::Image)
            pictures.push_back(decodePictureFor(op));
    return pictures;
}

PageDevice pageDeviceOf(const QPaintDevice& device) {
    PageDevice d;
    d.dpiX = device.logicalDpiX();
    d.dpiY = device.logicalDpiY();
    d.width = device.width();
    d.height = device.height();
    return d;
}

QStringList fontFamiliesFor(const QString& face) {
    static std::mutex mutex;
    static QHash<QString, QStringList> cache;
    std::lock_guard lock(mutex);
    auto it = cache.find(face);
    if (it == cache.end())
        it = cache.insert(face, computeFamilies(face));
    return *it;
}

QFont qFontFor(const PageFont& font) {
    QFont f;
    f.setFamilies(fontFamiliesFor(QString::fromStdString(font.face)));
    f.setPixelSize(std::max(1, font.pixelHeight));
    f.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 1, 1000)));
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    f.setStyleHint(QFont::SansSerif,
                   QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferNoShaping));
    return f;
}

void paintPageOps(QPainter& painter, const std::vector<PageOp>& ops,
                  std::vector<UndrawnPicture>* undrawn,
                  const std::vector<DecodedPicture>* pictures) {
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);

    bool haveFont = false;
    PageFont currentFont;
    size_t pictureIndex = 0;
    for (const PageOp& op : ops) {
        const QColor color(static_cast<QRgb>(op.color | 0xFF000000u));
        switch (op.kind) {
        case PageOpKind::Fill:
            painter.fillRect(QRectF(op.rect.left, op.rect.top, op.rect.right - op.rect.left,
                                    op.rect.bottom - op.rect.top),
                             color);
            break;
        case PageOpKind::Line: {
            QPen pen(color, std::max(1, op.penWidth), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
            painter.setPen(pen);
            painter.drawLine(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2));
            break;
        }
        case PageOpKind::Text: {
            if (op.text.empty())
                break;
            if (!haveFont || !(currentFont == op.font)) {
                painter.setFont(qFontFor(op.font));
                currentFont = op.font;
                haveFont = true;
            }
            painter.setPen(color);
            drawLine(painter, op.rect,
                     QString::fromUtf8(op.text.data(), static_cast<qsizetype>(op.text.size())),
                     op.align);
            break;
        }
        case PageOpKind::Image: {
            const size_t index = pictureIndex++;
            if (op.imagePath.empty() || sizeOf(op.rect).isEmpty())
                break;
            const DecodedPicture picture =
                pictures && index < pictures->size() ? (*pictures)[index] : decodePictureFor(op);
            if (picture.image.isNull()) {
                if (undrawn)
                    undrawn->push_back({op.imagePath, 0, picture.reason});
                break;
            }
            // At the rectangle's size the picture is drawn (and embedded in a PDF) pixel for
            // pixel; a smaller picture is stretched.
            painter.drawImage(QRectF(op.rect.left, op.rect.top, op.rect.right - op.rect.left,
                                     op.rect.bottom - op.rect.top),
                              picture.image);
            break;
        }
        }
    }
    painter.restore();
}

} // namespace tessera
