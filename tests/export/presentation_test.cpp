// The presentation export next to a user's own deck: the new slide comes last, no
// slide of the user's changes, and the screen picture fills the slide.
#include "export/exportfixture.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>

namespace {

// Three slides, each with its own title and a shape.
const char *kDeck = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.presentation">
 <office:automatic-styles>
  <style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="28cm" fo:page-height="15.75cm"/></style:page-layout>
  <style:style style:name="red" style:family="graphic"><style:graphic-properties draw:fill="solid" draw:fill-color="#cc2200"/></style:style>
 </office:automatic-styles>
 <office:master-styles><style:master-page style:name="Default" style:page-layout-name="pm1"/></office:master-styles>
 <office:body><office:presentation>
  <draw:page draw:name="one" draw:master-page-name="Default"><draw:frame svg:x="2cm" svg:y="2cm" svg:width="20cm" svg:height="3cm"><draw:text-box><text:p>First slide of mine</text:p></draw:text-box></draw:frame>
   <draw:rect draw:style-name="red" svg:x="3cm" svg:y="7cm" svg:width="5cm" svg:height="4cm"/></draw:page>
  <draw:page draw:name="two" draw:master-page-name="Default"><draw:frame svg:x="2cm" svg:y="2cm" svg:width="20cm" svg:height="3cm"><draw:text-box><text:p>Second slide of mine</text:p></draw:text-box></draw:frame>
   <draw:rect draw:style-name="red" svg:x="12cm" svg:y="7cm" svg:width="5cm" svg:height="4cm"/></draw:page>
  <draw:page draw:name="three" draw:master-page-name="Default"><draw:frame svg:x="2cm" svg:y="2cm" svg:width="20cm" svg:height="3cm"><draw:text-box><text:p>Third slide of mine</text:p></draw:text-box></draw:frame>
   <draw:rect draw:style-name="red" svg:x="20cm" svg:y="7cm" svg:width="5cm" svg:height="4cm"/></draw:page>
 </office:presentation></office:body>
</office:document>
)";

double centimetres(const QString &value)
{
    return value.chopped(2).toDouble() * (value.endsWith(QLatin1String("in")) ? 2.54 : 1.0);
}

class PresentationTest : public ExportTest
{
protected:
    // Each slide drawn as the user sees it.
    QList<QImage> slidePictures(const QString &presentation)
    {
        const QString pdf = convert(presentation, QStringLiteral("pdf"), presentation + QStringLiteral(".pdf"));
        const QString prefix = presentation + QStringLiteral("-slide");
        run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"), pdf, prefix});
        QList<QImage> slides;
        for (int n = 1;; ++n) {
            QImage slide(prefix + QStringLiteral("-%1.png").arg(n));
            if (slide.isNull())
                slide = QImage(prefix + QStringLiteral("-0%1.png").arg(n));
            if (slide.isNull())
                break;
            slides.append(slide);
            QFile::remove(prefix + QStringLiteral("-%1.png").arg(n));
            QFile::remove(prefix + QStringLiteral("-0%1.png").arg(n));
        }
        return slides;
    }
};

} // namespace

TEST_F(PresentationTest, TheNewSlideComesLastAndTheUsersSlidesStayAsTheyWere)
{
    server.addPage(QStringLiteral("/green"),
                   "<html><head><title>Green</title><style>body{background:rgb(10,200,30)}</style></head>"
                   "<body><p>green page</p></body></html>");
    open("/green");
    folder.write(QStringLiteral("deck.fodp"), kDeck);
    const QString deck = convert(folder.file(QStringLiteral("deck.fodp")), QStringLiteral("ppt"),
                                 folder.file(QStringLiteral("deck.ppt")));
    const QList<QImage> before = slidePictures(deck);
    ASSERT_EQ(before.size(), 3);

    exportTo("SAVE:PPT", deck);
    EXPECT_EQ(lastMessage(), lang().entry(216) + QStringLiteral(" 4 ") + lang().entry(217) + QStringLiteral("\r\n") + deck);
    const QList<QImage> after = slidePictures(deck);
    ASSERT_EQ(after.size(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(after.at(i), before.at(i)) << "slide " << i + 1 << " changed";
    // The new last slide shows the page: green in its middle.
    const QImage last = after.at(3);
    EXPECT_EQ(last.pixelColor(last.width() / 2, last.height() / 2).green() > 150, true);

    // The picture fills the slide whole, centred, its aspect the screen's.
    const QString fodp = flat(deck, QStringLiteral("fodp"));
    const qsizetype lastPage = fodp.lastIndexOf(QStringLiteral("<draw:page "));
    static const QRegularExpression frame(QStringLiteral(
        "<draw:frame[^>]*svg:width=\"([0-9.]+(?:cm|in))\" svg:height=\"([0-9.]+(?:cm|in))\" svg:x=\"(-?[0-9.]+(?:cm|in))\" "
        "svg:y=\"(-?[0-9.]+(?:cm|in))\"[^>]*>\\s*<draw:image"));
    const QRegularExpressionMatch m = frame.match(fodp, lastPage);
    ASSERT_TRUE(m.hasMatch()) << str(fodp.mid(lastPage, 3000));
    const double w = centimetres(m.captured(1)), h = centimetres(m.captured(2));
    const double x = centimetres(m.captured(3)), y = centimetres(m.captured(4));
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_NEAR(w / h, double(screen.width()) / screen.height(), 0.01);
    EXPECT_TRUE(std::abs(h - 15.75) < 0.05 || std::abs(w - 28.0) < 0.05) << w << " x " << h;
    EXPECT_NEAR(x, (28.0 - w) / 2, 0.05);
    EXPECT_NEAR(y, (15.75 - h) / 2, 0.05);
    EXPECT_GE(x, 0);
    EXPECT_GE(y, 0);

    // A new presentation: its one slide, the picture on it.
    const QString fresh = folder.file(QStringLiteral("fresh.ppt"));
    exportTo("SAVE:PPT", fresh);
    EXPECT_EQ(lastMessage(), lang().entry(216) + QStringLiteral(" 1 ") + lang().entry(217) + QStringLiteral("\r\n") + fresh);
    EXPECT_EQ(slidePictures(fresh).size(), 1);
    EXPECT_TRUE(flat(fresh, QStringLiteral("fodp")).contains(QStringLiteral("<dc:title>Green</dc:title>")));
}
