// The personal page file: what it writes, what it reads back, and that any
// text and picture survives any number of rounds, and pictures keep the
// page near its size.

#include "protocol/StreamCodecs.h"
#include "protocol/TvxpPersonalInfo.h"
#include "protocol/xml/XMLQuery.h"
#include "protocol/xml/EXMLParserError.h"
#include "tests/support/PictureBombs.h"
#include "tests/support/PrintQString.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <random>
#include <sys/stat.h>
#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& name, const QByteArray& data)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

class PersonalInfo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        file = dir.filePath(QStringLiteral("myinfo.xml"));
    }
    QTemporaryDir dir;
    QString file;
};

const QString kHostile = QStringLiteral("Jos\u00e9 & <Mar\u00eda> \"Pe\u00f1a\" 'O'Neil' \u20ac");

void FillEveryField(TvxpPersonalInfo& info, const QString& text)
{
    info.SetFirstName(text + QStringLiteral("1"));
    info.SetLastName(text + QStringLiteral("2"));
    info.SetFullName(text + QStringLiteral("3"));
    info.SetAddress1(text + QStringLiteral("4"));
    info.SetAddress2(text + QStringLiteral("5"));
    info.SetCompany(text + QStringLiteral("6"));
    info.SetAddrCity(text + QStringLiteral("7"));
    info.SetAddrState(text + QStringLiteral("8"));
    info.SetAddrZip(text + QStringLiteral("9"));
    info.SetMlsId(text + QStringLiteral("10"));
    info.SetMlsMemberId(text + QStringLiteral("11"));
    info.SetPhType1(text + QStringLiteral("12"));
    info.SetPhNumber1(text + QStringLiteral("13"));
    info.SetPhType2(text + QStringLiteral("14"));
    info.SetPhNumber2(text + QStringLiteral("15"));
    info.SetPhType3(text + QStringLiteral("16"));
    info.SetPhNumber3(text + QStringLiteral("17"));
    info.SetPhType4(text + QStringLiteral("18"));
    info.SetPhNumber4(text + QStringLiteral("19"));
}

QStringList EveryField(const TvxpPersonalInfo& info)
{
    return {info.FirstName(),   info.LastName(),  info.FullName(),  info.Address1(), info.Address2(),
            info.Company(),     info.AddrCity(),  info.AddrState(), info.AddrZip(),  info.MlsId(),
            info.MlsMemberId(), info.PhType1(),   info.PhNumber1(), info.PhType2(),  info.PhNumber2(),
            info.PhType3(),     info.PhNumber3(), info.PhType4(),   info.PhNumber4()};
}

QImage Picture(int w, int h, QRgb seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, seed ^ qRgb(x * 9, y * 5, x * y));
    return image;
}

} // namespace

TEST_F(PersonalInfo, EveryValueSurvivesRounds)
{
    QByteArray firstFile;
    for (int round = 0; round < 3; ++round) {
        TvxpPersonalInfo info;
        info.SetFileName(file);
        if (round == 0) {
            FillEveryField(info, kHostile);
            info.ShowMls = true;
            info.AddProvider(QStringLiteral("SV&1<\"x\">"), kHostile);
            info.AddProvider(QStringLiteral("MBAR"), QStringLiteral("Mariposa Bay"));
            info.Photo = Picture(9, 5, 0x123456);
            info.Logo = Picture(4, 3, 0xABCDEF);
        } else {
            info.Load();
            ASSERT_TRUE(info.Loaded);
            EXPECT_FALSE(info.Dirty);
            info.Dirty = true; // write it again as read
        }
        info.Save();
        if (round == 0)
            firstFile = ReadFile(file);
        else
            EXPECT_EQ(ReadFile(file), firstFile) << "round " << round;

        TvxpPersonalInfo back;
        back.SetFileName(file);
        back.Load();
        QStringList expected;
        for (int i = 1; i <= 19; ++i) expected << kHostile + QString::number(i);
        EXPECT_EQ(EveryField(back), expected);
        EXPECT_TRUE(back.ShowMls);
        ASSERT_EQ(back.Providers().Count(), 2);
        EXPECT_EQ(back.Providers().Item(0).Id, QStringLiteral("SV&1<\"x\">"));
        EXPECT_EQ(back.Providers().Item(0).Name, kHostile);
        EXPECT_EQ(back.Providers().Strings(1), QStringLiteral("Mariposa Bay"));
        EXPECT_EQ(back.Photo.convertToFormat(QImage::Format_RGB32), Picture(9, 5, 0x123456));
        EXPECT_EQ(back.Logo.convertToFormat(QImage::Format_RGB32), Picture(4, 3, 0xABCDEF));
    }
    // The file declares its encoding and holds the characters themselves.
    EXPECT_TRUE(firstFile.startsWith("<?xml version = \"1.0\" encoding = \"UTF-8\" standalone = \"yes\"?>"))
        << firstFile.left(80).constData();
    EXPECT_TRUE(firstFile.contains(kHostile.left(4).toUtf8()));
}

TEST_F(PersonalInfo, TheFileLayout)
{
    TvxpPersonalInfo info;
    info.SetFileName(file);
    info.SetFirstName(QStringLiteral("Dana"));
    info.SetMlsId(QStringLiteral("SVMLS"));
    info.Save();
    const QString text = QString::fromUtf8(ReadFile(file));
    EXPECT_EQ(
        text,
        QStringLiteral(
            "<?xml version = \"1.0\" encoding = \"UTF-8\" standalone = \"yes\"?>\r\n\r\n<vxp>\r\n"
            "   <personel.info version = \"1.0\" UserID = \"0\" County = \"0\" LogEvent = \"N\">\r\n"
            "      <name_info first = \"Dana\" last = \"\" full = \"\" addr1 = \"\" addr2 = \"\" comp = \"\" "
            "city = \"\" state = \"\" zip = \"\" MlsId = \"SVMLS\" MemberId = \"\" type1 = \"\" number1 = \"\" "
            "type2 = \"\" number2 = \"\" type3 = \"\" number3 = \"\" type4 = \"\" number4 = \"\" showmls = \"N\"/>\r\n"
            "      <providers/>\r\n"
            "      <photo/>\r\n"
            "      <logo/>\r\n"
            "   </personel.info>\r\n</vxp>"));
}

TEST_F(PersonalInfo, CharactersAboveFFFFAreWrittenAsUtf8AndOlderFilesStillRead)
{
    const QString name = QStringLiteral("Dana \U0001F3E0 \U00020B9F");
    {
        TvxpPersonalInfo info;
        info.SetFileName(file);
        info.SetFirstName(name);
        info.Save();
    }
    const QByteArray bytes = ReadFile(file);
    // Each is its four bytes: a file any UTF-8 reader takes.
    EXPECT_TRUE(bytes.contains("first = \"Dana \xF0\x9F\x8F\xA0 \xF0\xA0\xAE\x9F\"")) << bytes.constData();
    EXPECT_EQ(QString::fromUtf8(bytes).toUtf8(), bytes);
    TvxpPersonalInfo back;
    back.SetFileName(file);
    back.Load();
    EXPECT_EQ(back.FirstName(), name);
    // A page an older version saved, each half as three bytes, reads the same.
    QByteArray old = bytes;
    old.replace("\xF0\x9F\x8F\xA0", "\xED\xA0\xBC\xED\xBF\xA0");
    WriteFile(file, old);
    TvxpPersonalInfo older;
    older.SetFileName(file);
    older.Load();
    EXPECT_EQ(older.FirstName(), name);
}

TEST_F(PersonalInfo, LoadReadsOnceAndSaveWritesOnlyChanges)
{
    TvxpPersonalInfo info;
    info.SetFileName(file);
    info.Load(); // no file: nothing, not loaded
    EXPECT_FALSE(info.Loaded);
    EXPECT_TRUE(info.Dirty);
    info.SetCompany(QStringLiteral("Ostrel Realty"));
    info.Save();
    ASSERT_TRUE(QFileInfo::exists(file));

    TvxpPersonalInfo reader;
    reader.SetFileName(file);
    reader.Load();
    EXPECT_EQ(reader.Company(), QStringLiteral("Ostrel Realty"));
    // Read once: a changed file is not read again.
    info.SetCompany(QStringLiteral("Changed"));
    info.Save();
    reader.Load();
    EXPECT_EQ(reader.Company(), QStringLiteral("Ostrel Realty"));
    // Unchanged after loading: nothing written.
    QFile::remove(file);
    reader.Save();
    EXPECT_FALSE(QFileInfo::exists(file));
    // Pictures and the flag are plain fields: no change either.
    reader.ShowMls = true;
    reader.Photo = Picture(2, 2, 0);
    reader.Save();
    EXPECT_FALSE(QFileInfo::exists(file));
    reader.SetPhNumber1(QStringLiteral("555"));
    reader.Save();
    EXPECT_TRUE(QFileInfo::exists(file));
}

TEST_F(PersonalInfo, ProvidersFromTheLoginStay)
{
    {
        TvxpPersonalInfo info;
        info.SetFileName(file);
        info.AddProvider(QStringLiteral("OLD"), QStringLiteral("Old provider"));
        info.Save();
    }
    TvxpPersonalInfo info;
    info.SetFileName(file);
    info.AddProvider(QStringLiteral("NEW"), QStringLiteral("From the login"));
    info.Load();
    ASSERT_EQ(info.Providers().Count(), 1);
    EXPECT_EQ(info.Providers().Item(0).Id, QStringLiteral("NEW"));
    info.ClearProviders();
    EXPECT_TRUE(info.Providers().IsEmpty());
    EXPECT_THROW(info.Providers().Item(0), EListError);
}

TEST_F(PersonalInfo, ProviderNameOfTheMlsId)
{
    TvxpPersonalInfo info;
    info.AddProvider(QStringLiteral("A"), QStringLiteral("First A"));
    info.AddProvider(QStringLiteral("B"), QStringLiteral("Bee"));
    info.AddProvider(QStringLiteral("A"), QStringLiteral("Second A"));
    EXPECT_EQ(info.ProviderName(), QString());
    info.SetMlsId(QStringLiteral("A"));
    EXPECT_EQ(info.ProviderName(), QStringLiteral("Second A"));
    info.SetMlsId(QStringLiteral("a"));
    EXPECT_EQ(info.ProviderName(), QString());
}

TEST_F(PersonalInfo, ReadingFilesOfOtherShapes)
{
    // Cut providers' texts, an empty photo, attributes missing.
    WriteFile(file,
              "<?xml version=\"1.0\"?><vxp><personel.info version=\"1.0\">"
              "<name_info first=\"A&amp;B\" showmls=\"y\"/><providers><p mlsid=\"X\" name=\"" +
                  QByteArray(300, 'n') + "\"/></providers><photo/><logo>   </logo></personel.info></vxp>");
    TvxpPersonalInfo info;
    info.SetFileName(file);
    info.Load();
    EXPECT_TRUE(info.Loaded);
    EXPECT_EQ(info.FirstName(), QStringLiteral("A&B"));
    EXPECT_EQ(info.LastName(), QString());
    EXPECT_FALSE(info.ShowMls);
    ASSERT_EQ(info.Providers().Count(), 1);
    EXPECT_EQ(info.Providers().Item(0).Name.size(), 255);
    EXPECT_TRUE(info.Photo.isNull());
    EXPECT_TRUE(info.Logo.isNull());

    // Another root loads nothing, but counts as read.
    WriteFile(file, "<other><personel.info><name_info first=\"X\"/></personel.info></other>");
    TvxpPersonalInfo other;
    other.SetFileName(file);
    other.Load();
    EXPECT_TRUE(other.Loaded);
    EXPECT_EQ(other.FirstName(), QString());
}

TEST_F(PersonalInfo, ADamagedFileRaisesAndStaysUnread)
{
    WriteFile(file, "<vxp><personel.info><name_info first=\"X\"></personel.info></vxp>");
    TvxpPersonalInfo info;
    info.SetFileName(file);
    EXPECT_THROW(info.Load(), EXMLParserError);
    EXPECT_FALSE(info.Loaded);
    // Mended on disk: the next reader tries again.
    WriteFile(file, "<vxp><personel.info><name_info first=\"X\"/></personel.info></vxp>");
    info.Load();
    EXPECT_TRUE(info.Loaded);
    EXPECT_EQ(info.FirstName(), QStringLiteral("X"));
}

TEST_F(PersonalInfo, ASaveThatFailsRaisesAndTouchesNoOtherFile)
{
    TvxpPersonalInfo info;
    info.SetFileName(file);
    info.SetFirstName(QStringLiteral("Kept"));
    info.Save();
    const QByteArray before = ReadFile(file);
    // The file's directory is gone: the save fails and raises.
    TvxpPersonalInfo elsewhere;
    elsewhere.SetFileName(dir.filePath(QStringLiteral("missing/myinfo.xml")));
    elsewhere.SetFirstName(QStringLiteral("Lost"));
    EXPECT_THROW(elsewhere.Save(), Exception);
    EXPECT_EQ(ReadFile(file), before);
}

TEST_F(PersonalInfo, ThePageIsOpenToItsOwnerAloneAfterEverySave)
{
    const auto mode = [](const QString& path) {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
    };
    const mode_t umask = ::umask(022);
    TvxpPersonalInfo info;
    info.SetFileName(file);
    info.SetFirstName(QStringLiteral("Ann"));
    info.Save();
    EXPECT_EQ(mode(file), 0600u);
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0644), 0);
    info.SetLastName(QStringLiteral("Lee"));
    info.Save();
    ::umask(umask);
    EXPECT_EQ(mode(file), 0600u);
    TvxpPersonalInfo back;
    back.SetFileName(file);
    back.Load();
    EXPECT_EQ(back.LastName(), QStringLiteral("Lee"));
}

namespace {

// A run-length bitmap of w x h pixels of its one (red) palette entry: runs of
// up to 255 pixels and a line end per row, as a flat logo is stored.
QByteArray RunLengthBitmap(int w, int h)
{
    QByteArray rows;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; x += 255) {
            rows.append(char(std::min(255, w - x)));
            rows.append('\0');
        }
        rows.append('\0');
        rows.append(y == h - 1 ? '\1' : '\0');
    }
    return picturebombs::BitmapDeclaring(w, h, 8, 1, rows);
}

QByteArray PageWith(const QByteArray& photo, const QByteArray& logo)
{
    return "<?xml version=\"1.0\"?>\r\n<vxp><personel.info version=\"1.0\"><name_info first=\"Ann\"/>"
           "<providers/><photo>" +
        MimeEncode(photo) + "</photo><logo>" + MimeEncode(logo) + "</logo></personel.info></vxp>";
}

// The bytes of a picture element of the page file.
QByteArray StoredBytes(const QString& file, const QString& name)
{
    TvxpDocument doc;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || !doc.LoadDocument(&f)) return QByteArray();
    return MimeDecode(ElementText(ChildElement(doc.RequestElement(), name)).toLatin1());
}

QImage Rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

} // namespace

TEST_F(PersonalInfo, UnchangedPicturesKeepTheirBytesAndThePageItsSize)
{
    const QByteArray photo = RunLengthBitmap(2400, 1600);
    const QByteArray logo = RunLengthBitmap(900, 300);
    const QByteArray page = PageWith(photo, logo);
    WriteFile(file, page);
    TvxpPersonalInfo info;
    info.SetFileName(file);
    info.Load();
    ASSERT_EQ(info.Photo.size(), QSize(2400, 1600));
    ASSERT_EQ(info.Logo.size(), QSize(900, 300));
    // A text changed: the page is written again, its pictures as they were.
    info.SetCompany(QStringLiteral("Ostrel Realty"));
    info.Save();
    EXPECT_LE(QFileInfo(file).size(), page.size() + 2000);
    EXPECT_EQ(StoredBytes(file, QStringLiteral("photo")), photo);
    EXPECT_EQ(StoredBytes(file, QStringLiteral("logo")), logo);
    // A copy handed back, as the My Page step does, is the same picture.
    const QImage shown = info.Photo;
    info.Photo = shown;
    info.Save();
    EXPECT_EQ(StoredBytes(file, QStringLiteral("photo")), photo);

    TvxpPersonalInfo back;
    back.SetFileName(file);
    back.Load();
    EXPECT_EQ(back.Company(), QStringLiteral("Ostrel Realty"));
    EXPECT_EQ(Rgb(back.Photo), Rgb(info.Photo));
    EXPECT_EQ(Rgb(back.Logo), Rgb(info.Logo));
}

TEST_F(PersonalInfo, AChangedPictureIsWrittenNearItsSize)
{
    const QByteArray page = PageWith(RunLengthBitmap(2400, 1600), RunLengthBitmap(900, 300));
    WriteFile(file, page);
    TvxpPersonalInfo info;
    info.SetFileName(file);
    info.Load();
    // A few colours more on the same photo: still run-length coded.
    QImage photo = Rgb(info.Photo);
    for (int y = 100; y < 700; ++y)
        for (int x = 300; x < 1500; ++x) photo.setPixel(x, y, qRgb(0, 60, 200));
    info.Photo = photo;
    // A photo as the My Page step loads one: 175 rows of many colours.
    QImage logo(233, 175, QImage::Format_RGB32);
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x) logo.setPixel(x, y, qRgb(x, y, (x * y) % 256));
    info.Logo = logo;
    info.SetCompany(QStringLiteral("Ostrel Realty"));
    info.Save();
    // The photo: near its input; the logo: its 24-bit pixels in Base64.
    const qint64 photoBytes = StoredBytes(file, QStringLiteral("photo")).size();
    EXPECT_LE(photoBytes, 2 * RunLengthBitmap(2400, 1600).size());
    const qint64 logoBytes = StoredBytes(file, QStringLiteral("logo")).size();
    EXPECT_LE(logoBytes, 54 + 700 * 175);
    EXPECT_LE(QFileInfo(file).size(), (photoBytes + logoBytes) * 4 / 3 * 78 / 76 + 2000);

    TvxpPersonalInfo back;
    back.SetFileName(file);
    back.Load();
    EXPECT_EQ(Rgb(back.Photo), photo);
    EXPECT_EQ(Rgb(back.Logo), logo);
    // Saved again unchanged: the same bytes.
    const QByteArray written = ReadFile(file);
    info.Save();
    EXPECT_EQ(ReadFile(file), written);
}

TEST_F(PersonalInfo, PicturesPastTheCapAreDroppedAndTheTextsLoad)
{
    // Fewer than 400 bytes whose photo and logo each declare 5,790 x 5,790
    // pixels.
    const QByteArray bomb = picturebombs::BitmapDeclaring(5790, 5790, 8, 1, QByteArray("\0\1", 2)).toBase64();
    const QByteArray page = "<?xml version=\"1.0\"?><vxp><personel.info version=\"1.0\"><name_info first=\"Ann\"/>"
                            "<providers/><photo>" +
        bomb + "</photo><logo>" + bomb + "</logo></personel.info></vxp>";
    EXPECT_LT(page.size(), 400);
    WriteFile(file, page);
    TvxpPersonalInfo info;
    info.SetFileName(file);
    ASSERT_NO_THROW(info.Load());
    EXPECT_EQ(info.FirstName(), QStringLiteral("Ann"));
    EXPECT_TRUE(info.Photo.isNull());
    EXPECT_TRUE(info.Logo.isNull());
    info.SetLastName(QStringLiteral("Lee"));
    info.Save();
    EXPECT_LT(QFileInfo(file).size(), 1000);
}

namespace {

// A random text of every character class a user can type or a server send:
// letters, digits, blanks, markup characters, "&" before reference-shaped
// runs, CR, LF, TAB, quotes and characters beyond ASCII (a surrogate pair
// among them).
QString RandomText(std::mt19937& random)
{
    static const QStringList pieces = {
        QStringLiteral("a"),      QStringLiteral("Z"),          QStringLiteral("7"),      QStringLiteral(" "),
        QStringLiteral("  "),     QStringLiteral("&"),          QStringLiteral("&amp;"),  QStringLiteral("&#65;"),
        QStringLiteral("&#x41;"), QStringLiteral("&lt;"),       QStringLiteral("&gt;"),   QStringLiteral("&&gt;"),
        QStringLiteral("&nbsp;"), QStringLiteral("&quot;"),     QStringLiteral("&;"),     QStringLiteral("&#;"),
        QStringLiteral("<"),      QStringLiteral(">"),          QStringLiteral("\""),     QStringLiteral("'"),
        QStringLiteral(";"),      QStringLiteral("#"),          QStringLiteral("\r"),     QStringLiteral("\n"),
        QStringLiteral("\r\n"),   QStringLiteral("\t"),         QStringLiteral("\u00e9"), QStringLiteral("\u20ac"),
        QStringLiteral("\u6771"), QStringLiteral("\U0001F3E0"), QStringLiteral("]]>"),    QStringLiteral("=")};
    QString text;
    const int n = int(random() % 12);
    for (int i = 0; i < n; ++i) text += pieces[int(random() % pieces.size())];
    return text;
}

} // namespace

TEST_F(PersonalInfo, RandomTextsSurviveEveryRoundExactly)
{
    std::mt19937 random(20261209);
    for (int trial = 0; trial < 40; ++trial) {
        QStringList texts;
        for (int i = 0; i < 19; ++i) texts << RandomText(random);
        const QString providerName = RandomText(random);
        {
            TvxpPersonalInfo info;
            info.SetFileName(file);
            info.SetFirstName(texts[0]);
            info.SetLastName(texts[1]);
            info.SetFullName(texts[2]);
            info.SetAddress1(texts[3]);
            info.SetAddress2(texts[4]);
            info.SetCompany(texts[5]);
            info.SetAddrCity(texts[6]);
            info.SetAddrState(texts[7]);
            info.SetAddrZip(texts[8]);
            info.SetMlsId(texts[9]);
            info.SetMlsMemberId(texts[10]);
            info.SetPhType1(texts[11]);
            info.SetPhNumber1(texts[12]);
            info.SetPhType2(texts[13]);
            info.SetPhNumber2(texts[14]);
            info.SetPhType3(texts[15]);
            info.SetPhNumber3(texts[16]);
            info.SetPhType4(texts[17]);
            info.SetPhNumber4(texts[18]);
            info.AddProvider(texts[9], providerName);
            info.Save();
        }
        for (int round = 0; round < 3; ++round) {
            TvxpPersonalInfo back;
            back.SetFileName(file);
            back.Load();
            ASSERT_EQ(EveryField(back), texts) << "trial " << trial << " round " << round;
            ASSERT_EQ(back.Providers().Count(), 1);
            EXPECT_EQ(back.Providers().Item(0).Name, providerName);
            EXPECT_EQ(back.ProviderName(), providerName);
            back.Dirty = true;
            back.Save();
        }
    }
    // CR, LF and TAB are written as character references.
    TvxpPersonalInfo info;
    info.SetFileName(file);
    info.SetFirstName(QStringLiteral("a\r\nb\tc"));
    info.Save();
    EXPECT_TRUE(ReadFile(file).contains("first = \"a&#13;&#10;b&#9;c\""));
}
