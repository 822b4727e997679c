#include "lyrics/ui/FontFamilies.h"

#include <QFontDatabase>

#include <array>

namespace sorvane::lyrics {

namespace {

struct StandIns
{
    const char16_t *windowsName;
    const char16_t *englishName;
    std::array<const char16_t *, 4> families;
};

// Kai faces are rarely installed (fonts-arphic-ukai brings one); a serif CJK face is the
// closest common shape to a brush script, so it is the last resort for 楷体.
const std::array<StandIns, 5> kStandIns { {
    { u"微软雅黑", u"Microsoft YaHei",
        { u"Noto Sans CJK SC", u"Source Han Sans SC", u"WenQuanYi Micro Hei", u"WenQuanYi Zen Hei" } },
    { u"黑体", u"SimHei",
        { u"Noto Sans CJK SC", u"Source Han Sans SC", u"WenQuanYi Zen Hei", u"WenQuanYi Micro Hei" } },
    { u"楷体", u"KaiTi",
        { u"AR PL UKai CN", u"AR PL KaitiM GB", u"Noto Serif CJK SC", u"Source Han Serif SC" } },
    { u"宋体", u"SimSun",
        { u"Noto Serif CJK SC", u"Source Han Serif SC", u"AR PL UMing CN", u"AR PL SungtiL GB" } },
    { u"Tahoma", u"Tahoma", { u"DejaVu Sans", u"Liberation Sans", u"Noto Sans", nullptr } },
} };

} // namespace

QStringList familyCandidates(const QString &name)
{
    QStringList out;
    if (name.isEmpty())
        return out;
    out << name;
    for (const StandIns &s : kStandIns) {
        if (name.compare(QString::fromUtf16(s.windowsName), Qt::CaseInsensitive) != 0
            && name.compare(QString::fromUtf16(s.englishName), Qt::CaseInsensitive) != 0)
            continue;
        for (const char16_t *family : s.families) {
            if (family)
                out << QString::fromUtf16(family);
        }
    }
    return out;
}

QString installedFamily(const QString &name)
{
    for (const QString &family : familyCandidates(name)) {
        if (QFontDatabase::hasFamily(family))
            return family;
    }
    return {};
}

QString cjkSansFamily()
{
    static const QString found = [] {
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        auto pick = [&](auto &&wanted) -> QString {
            for (const QString &f : chinese) {
                if (wanted(f))
                    return f;
            }
            return {};
        };
        QString f = pick([](const QString &n) {
            return n.contains(u"Sans") && !n.contains(u"Mono") && n.endsWith(u" SC");
        });
        if (f.isEmpty())
            f = pick([](const QString &n) { return n.contains(u"Sans") && !n.contains(u"Mono"); });
        if (f.isEmpty() && !chinese.isEmpty())
            f = chinese.front();
        if (f.isEmpty())
            f = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        return f;
    }();
    return found;
}

QFont uiFont(const QString &name, int pixelSize)
{
    QString family = installedFamily(name);
    if (family.isEmpty())
        family = cjkSansFamily();
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace sorvane::lyrics
