#pragma once
// The report form over recorded sample-service answers: the subject property
// 100231 of county 59, its 40 comps and the report data with every part. A
// test picks the pages, writes the report and reads it back as the text dump,
// one line per drawing operation, in inches.

#include "state/TAppState.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/report/TReportDump.h"
#include "platform/report/TReportFileReader.h"
#include "protocol/TvxAssessorMap.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxRptGen.h"
#include "protocol/TvxpDocument.h"
#include "protocol/TvxpPersonalInfo.h"
#include "report/TrptProfile.h"
#include "tests/support/PrintQString.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>
#include <initializer_list>
#include <vector>

inline QString FixturePath(const QString& name)
{
    return testsupport::SourcePath(QStringLiteral("tests/report/fixtures/") + name);
}

inline void LoadFixture(TvxpDocument& doc, const QString& name)
{
    QFile f(FixturePath(name));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    ASSERT_TRUE(doc.LoadDocument(&f)) << name.toStdString();
}

// Where the first text run with exactly this text starts; x and y -1 when
// there is none.
struct TextAt {
    double X = -1, Y = -1;
};
inline TextAt FindText(const QStringList& lines, const QString& text)
{
    const QString tail = QStringLiteral(" \"") + text + QLatin1Char('"');
    for (const QString& l : lines) {
        if (l.startsWith(QLatin1String("text ")) && l.endsWith(tail)) {
            const QStringList f = l.mid(5, l.size() - 5 - tail.size()).split(QLatin1Char(' '));
            return TextAt{f.value(0).toDouble(), f.value(1).toDouble()};
        }
    }
    return {};
}
inline QStringList Texts(const QStringList& lines)
{
    QStringList out;
    for (const QString& l : lines)
        if (l.startsWith(QLatin1String("text "))) out << l.mid(l.indexOf(QLatin1Char('"')) + 1).chopped(1);
    return out;
}
inline int CountPrefix(const QStringList& lines, const QString& prefix)
{
    int n = 0;
    for (const QString& l : lines) n += l.startsWith(prefix) ? 1 : 0;
    return n;
}

// A picture the page draws: its box in inches and its size in pixels.
struct PagePicture {
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    int Width = 0, Height = 0;
    // How far the drawn proportion is from the picture's own (0 when kept).
    double AspectError() const { return std::abs((X2 - X1) / (Y2 - Y1) / (double(Width) / Height) - 1); }
    bool Inside(double x1, double y1, double x2, double y2) const
    {
        const double e = 1e-6;
        return X1 >= x1 - e && Y1 >= y1 - e && X2 <= x2 + e && Y2 <= y2 + e;
    }
    // Fills the frame along one side at least.
    bool Fits(double x1, double y1, double x2, double y2) const
    {
        const double e = 2e-3;
        return Inside(x1, y1, x2, y2) && (std::abs((X2 - X1) - (x2 - x1)) < e || std::abs((Y2 - Y1) - (y2 - y1)) < e);
    }
};
inline std::vector<PagePicture> Pictures(const QStringList& lines)
{
    std::vector<PagePicture> out;
    for (const QString& l : lines) {
        const QStringList f = l.split(QLatin1Char(' '));
        if (f.size() < 7 || f[0] != QLatin1String("image")) continue;
        const QStringList size = f[6].split(QLatin1Char('x'));
        if (size.size() != 2) continue;
        out.push_back(PagePicture{f[1].toDouble(), f[2].toDouble(), f[3].toDouble(), f[4].toDouble(), size[0].toInt(),
                                  size[1].toInt()});
    }
    return out;
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreeAppState();
        ASSERT_TRUE(m_temp.isValid());
        TAppState& s = AppState();
        s.TempDir = m_temp.path() + QLatin1Char('/');
        s.ExeDir = s.TempDir;
        s.County = std::make_shared<TCountyRec>(
            TCountyRec{true, true, 59, QStringLiteral("Sierra Vista - CA"), QStringLiteral("SVISTA")});
        s.CompsFound = true;
        s.PropFound = true;
        s.MapId = 1001;
        for (auto* d : {&m_propDoc, &m_compsDoc, &m_rptDoc}) d->ValidateDocument = false;
        LoadFixture(m_propDoc, QStringLiteral("prop_data.xml"));
        LoadFixture(m_compsDoc, QStringLiteral("comps.xml"));
        LoadFixture(m_rptDoc, QStringLiteral("rptgen.xml"));
        m_comps.SetVxpDocument(&m_compsDoc);
        m_comps.LoadRecords();
        m_rptGen.SetVxpDocument(&m_rptDoc);
        m_personal.Loaded = true;
        m_personal.SetFullName(QStringLiteral("Dana Whitfield"));
        m_personal.SetCompany(QStringLiteral("Alder Creek Realty"));
        m_personal.SetAddress1(QStringLiteral("200 Main St"));
        m_personal.SetAddrCity(QStringLiteral("Alder Creek"));
        m_personal.SetAddrState(QStringLiteral("CA"));
        m_personal.SetAddrZip(QStringLiteral("93602"));
        m_personal.SetPhType1(QStringLiteral("Office"));
        m_personal.SetPhNumber1(QStringLiteral("(559) 555-0100"));
        m_personal.SetPhType3(QStringLiteral("Cell"));
        m_personal.SetPhNumber3(QStringLiteral("(559) 555-0199"));
        m_form.Comps = &m_comps;
        m_form.RptGen = &m_rptGen;
        m_form.AssessorMap = &m_map;
        m_form.PersonalInfo = &m_personal;
        m_map.OutputDir = s.TempDir;
    }
    void TearDown() override { FreeAppState(); }

    // Previews the report file as the form does; the one message shown
    // before the preview when it is a warning, else what was shown instead.
    QString PreviewWarning()
    {
        m_form.PreviewReportFile(QStringLiteral("profile.rpt"));
        const int messages = m_dialogs.Count(DialogRequest::Kind::Message);
        if (messages != 1) return QStringLiteral("%1 messages").arg(messages);
        const DialogRequest& note = m_dialogs.Shown().at(m_dialogs.Shown().size() - 2);
        if (note.kind != DialogRequest::Kind::Message || note.type != TMsgDlgType::mtWarning)
            return QStringLiteral("not a warning: ") + note.text;
        return note.text;
    }

    // The name the service's login answer gives a report page.
    static QString ServicePageName(int id)
    {
        switch (id) {
        case 10: return QStringLiteral("Cover Page");
        case 20: return QStringLiteral("Property Information");
        case 30: return QStringLiteral("Street Map");
        case 40: return QStringLiteral("Natural Hazards");
        case 50: return QStringLiteral("Market Summary");
        case 60: return QStringLiteral("Market Details");
        case 70: return QStringLiteral("Summary Analysis");
        case 80: return QStringLiteral("Community Services");
        case 90: return QStringLiteral("Demographics");
        case 100: return QStringLiteral("School Report");
        case 110: return QStringLiteral("Flood Certificate");
        case 120: return QStringLiteral("Assessor Map");
        case 170: return QStringLiteral("Market Details with Photos");
        default: return QStringLiteral("page %1").arg(id);
        }
    }

    // The report pages: ids in report order, all selected, named as the
    // service names them.
    static void SelectPages(std::initializer_list<int> ids)
    {
        TReportPageList& pages = AppState().ReportPages;
        pages.Clear();
        qint16 order = 1;
        for (int id : ids) pages.AddPage(id, order++, ServicePageName(id), QStringLiteral("Y"));
    }

    // Writes profile.rpt with the selected pages and reads it back.
    void WriteProfile()
    {
        const QString path = m_form.WriteProfileReport(m_propDoc.RequestElement());
        m_reader.LoadFromFile(path);
    }
    // Writes profile.rpt with the selected pages, reads it back and renders
    // it as the PDF file of that name in the temporary directory.
    QString WriteProfilePdf(const QString& name)
    {
        WriteProfile();
        const QString pdf = Temp(name);
        m_form.RenderPdf(Temp(QStringLiteral("profile.rpt")), pdf);
        return pdf;
    }
    // The comps answer replaced by these comp elements.
    void ReplaceComps(const QString& comps)
    {
        LoadText(m_compsDoc,
                 QStringLiteral("<vxp><comps.result version=\"1.0\">") + comps +
                     QStringLiteral("</comps.result></vxp>"));
        m_comps.LoadRecords();
    }
    // The report-data answer replaced by these children.
    void ReplaceReportData(const QString& children)
    {
        LoadText(m_rptDoc,
                 QStringLiteral("<vxp><rptgen.response version=\"1.0\">") + children +
                     QStringLiteral("</rptgen.response></vxp>"));
    }
    // The recorded report data with what matches pattern replaced.
    void LoadReportDataWith(const QString& pattern, const QString& replacement)
    {
        QFile rpt(FixturePath(QStringLiteral("rptgen.xml")));
        ASSERT_TRUE(rpt.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(rpt.readAll());
        text.replace(QRegularExpression(pattern), replacement);
        LoadText(m_rptDoc, text);
    }
    // Map sheets in the temporary directory: two recorded ones with one that
    // is no TIFF between them.
    void SampleSheets(QStringList& files) const
    {
        const QString dir = AppState().TempDir;
        ASSERT_TRUE(QFile::copy(FixturePath(QStringLiteral("sheet1.tif")), dir + QStringLiteral("s1.tif")));
        ASSERT_TRUE(QFile::copy(FixturePath(QStringLiteral("sheet2.tif")), dir + QStringLiteral("s2.tif")));
        QFile bad(dir + QStringLiteral("bad.tif"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("II*\0 not a sheet");
        files = QStringList{dir + QStringLiteral("s1.tif"), dir + QStringLiteral("bad.tif"),
                            dir + QStringLiteral("s2.tif")};
    }
    static void LoadText(TvxpDocument& doc, const QString& xml)
    {
        QByteArray bytes = xml.toUtf8();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        ASSERT_TRUE(doc.LoadDocument(&buffer));
    }
    // One comp element of these fields ("name", "text" pairs).
    static QString Comp(std::initializer_list<std::pair<const char*, const char*>> fields)
    {
        QString out = QStringLiteral("<comp>");
        for (const auto& [name, text] : fields)
            out += QStringLiteral("<%1>%2</%1>").arg(QString::fromLatin1(name), QString::fromLatin1(text));
        return out + QStringLiteral("</comp>");
    }
    int Pages() const { return m_reader.PageCount(); }
    QStringList AllTexts() const
    {
        QStringList out;
        for (int i = 0; i < Pages(); ++i) out += Texts(Page(i));
        return out;
    }
    QStringList Page(int index) const { return TReportDump::PageLines(m_reader, index); }
    QString Temp(const QString& name) const { return AppState().TempDir + name; }

    ScopedDialogResponder m_dialogs;
    QTemporaryDir m_temp;
    TvxpDocument m_propDoc, m_compsDoc, m_rptDoc;
    TvxComps m_comps;
    TvxRptGen m_rptGen;
    TvxAssessorMap m_map;
    TvxpPersonalInfo m_personal;
    TrptProfile m_form;
    TReportFileReader m_reader;
};
