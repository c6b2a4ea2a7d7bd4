#include "platform/text/RtfReader.h"
#include "platform/text/RtfWriter.h"
#include "tests/support/PrintQString.h"

#include <algorithm>
#include <gtest/gtest.h>

TEST(RtfReader, FormatsColoursAndParagraphs)
{
    const TRtfDocument doc = TRtfReader::Read(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
        "\\f0\\fs20 Plain {\\b bold}\\par\\cf1 red \\i italic\\i0\\ul under\\ulnone\\par\\cf2\\fs32 big}");
    ASSERT_EQ(doc.Paragraphs.size(), 3);
    const QList<TRtfRun>& first = doc.Paragraphs[0].Runs;
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(first[0].Text, QStringLiteral("Plain "));
    EXPECT_EQ(first[0].HalfPoints, 20);
    EXPECT_FALSE(first[0].Bold);
    EXPECT_EQ(first[1].Text, QStringLiteral("bold"));
    EXPECT_TRUE(first[1].Bold);
    const QList<TRtfRun>& second = doc.Paragraphs[1].Runs;
    ASSERT_EQ(second.size(), 3);
    EXPECT_EQ(second[0].Color, 0xFF0000);
    EXPECT_TRUE(second[1].Italic);
    EXPECT_TRUE(second[2].Underline);
    EXPECT_FALSE(second[2].Italic);
    EXPECT_EQ(doc.Paragraphs[2].Runs[0].Color, 0x000080);
    EXPECT_EQ(doc.Paragraphs[2].Runs[0].HalfPoints, 32);
    EXPECT_EQ(doc.PlainText(), QStringLiteral("Plain bold\r\nred italicunder\r\nbig"));
}

TEST(RtfReader, ParagraphsKeepTheirAlignment)
{
    const TRtfDocument doc = TRtfReader::Read("{\\rtf1{\\stylesheet{\\s1\\qc Heading;}}left\\par"
                                              "\\pard\\qr right\\par\\pard\\qc centred\\par still centred\\par"
                                              "\\pard\\qj justified\\par\\pard\\qr\\ql left again\\par"
                                              "{\\qc grouped\\par}after the group\\par\\qr last}");
    ASSERT_EQ(doc.Paragraphs.size(), 9);
    const TRtfAlignment expected[] = {TRtfAlignment::Left,   TRtfAlignment::Right,   TRtfAlignment::Center,
                                      TRtfAlignment::Center, TRtfAlignment::Justify, TRtfAlignment::Left,
                                      TRtfAlignment::Center, TRtfAlignment::Left};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(doc.Paragraphs[i].Alignment, expected[i]) << doc.Paragraphs[i].Runs[0].Text.toStdString();
    // The last paragraph has no \par: it keeps what its text was written in.
    EXPECT_EQ(doc.Paragraphs[8].Runs[0].Text, QStringLiteral("last"));
    EXPECT_EQ(doc.Paragraphs[8].Alignment, TRtfAlignment::Right);
}

TEST(RtfReader, EscapesAndSkippedDestinations)
{
    const TRtfDocument doc =
        TRtfReader::Read("{\\rtf1 caf\\'e9 \\'93q\\'94 \\u8364?\\uc2\\u8482\\'99\\'99!\\{x\\}\\\\ "
                         "{\\*\\generator Word;}{\\pict\\pngblip 89504e47}{\\info{\\title T}}\\tab end}");
    EXPECT_EQ(doc.PlainText(), QString::fromUtf8("caf\u00e9 \u201cq\u201d \u20ac\u2122!{x}\\ \tend"));
}

TEST(RtfReader, HostileInputIsBounded)
{
    EXPECT_THROW(TRtfReader::Read("plain text"), ERtfError);
    EXPECT_THROW(TRtfReader::Read(QByteArray()), ERtfError);
    QByteArray deep("{\\rtf1 ");
    deep += QByteArray(5000, '{') + "x" + QByteArray(5000, '}');
    EXPECT_THROW(TRtfReader::Read(deep), ERtfError);
    QByteArray big("{\\rtf1 ");
    big += QByteArray(TRtfReader::kMaxInput, 'a');
    EXPECT_THROW(TRtfReader::Read(big), ERtfError);
    // Truncated escapes, huge numbers and unbalanced groups end quietly.
    const TRtfDocument odd = TRtfReader::Read("{\\rtf1\\fs99999999999999999 a\\'4\\u-3\\cf999 b}}}}\\");
    EXPECT_EQ(odd.Paragraphs.size(), 1);
    EXPECT_TRUE(odd.PlainText().startsWith(QLatin1Char('a')));
    EXPECT_EQ(odd.Paragraphs[0].Runs[0].HalfPoints, 3276);
}

TEST(RtfWriter, WhatItWritesReadsBackToTheSameRuns)
{
    TRtfDocument doc;
    TRtfParagraph first;
    TRtfRun plain;
    plain.Text = QStringLiteral("a {brace} \\ tab\there ");
    TRtfRun bold;
    bold.Text = QStringLiteral("Grüße €");
    bold.Bold = true;
    bold.HalfPoints = 20;
    first.Runs = {plain, bold};
    TRtfParagraph second;
    TRtfRun red;
    red.Text = QStringLiteral("red");
    red.Color = 0xFF0000;
    red.Italic = true;
    TRtfRun navy;
    navy.Text = QStringLiteral("navy");
    navy.Color = 0x000080;
    navy.Underline = true;
    second.Runs = {red, navy};
    second.Alignment = TRtfAlignment::Right;
    TRtfParagraph third;
    TRtfRun centred;
    centred.Text = QStringLiteral("centred");
    third.Runs = {centred};
    third.Alignment = TRtfAlignment::Center;
    TRtfParagraph fourth;
    TRtfRun left;
    left.Text = QStringLiteral("left");
    fourth.Runs = {left};
    TRtfParagraph fifth;
    TRtfRun justified;
    justified.Text = QStringLiteral("justified");
    fifth.Runs = {justified};
    fifth.Alignment = TRtfAlignment::Justify;
    doc.Paragraphs = {first, second, third, fourth, fifth};

    const QByteArray rtf = TRtfWriter::Write(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    const TRtfDocument back = TRtfReader::Read(rtf);
    ASSERT_EQ(back.Paragraphs.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(back.Paragraphs[i].Runs, doc.Paragraphs[i].Runs) << i;
        EXPECT_EQ(back.Paragraphs[i].Alignment, doc.Paragraphs[i].Alignment) << i;
    }
    EXPECT_EQ(TRtfReader::Read(TRtfWriter::Write(TRtfDocument{})).PlainText(), QString());
}

TEST(RtfReader, ControlCharactersNeverBecomeCellText)
{
    // However a control character is written (a raw byte, \'hh, \uN), it is
    // no text: \'0a above all is no paragraph break.
    QByteArray rtf("{\\rtf1 a\\'0ab\\'01c\\u7?d\\u127?e\\'7ff\\'81g\x01h\x1Fi\\u133?j\\'09k}");
    const TRtfDocument doc = TRtfReader::Read(rtf);
    ASSERT_EQ(doc.Paragraphs.size(), 1);
    EXPECT_EQ(doc.PlainText(), QStringLiteral("abcdefghij\tk"));
    // A code past U+FFFF, as some writers give it, is its pair.
    EXPECT_EQ(TRtfReader::Read("{\\rtf1 x\\u128512?y}").PlainText(), QString::fromUtf8("x\xF0\x9F\x98\x80y"));
    // What is read is written and read again the same.
    const TRtfDocument again = TRtfReader::Read(TRtfWriter::Write(doc));
    ASSERT_EQ(again.Paragraphs.size(), 1);
    EXPECT_EQ(again.Paragraphs[0].Runs, doc.Paragraphs[0].Runs);
}

TEST(RtfWriter, EmptyParagraphsAtTheEndReadBack)
{
    TRtfRun text;
    text.Text = QString::fromUtf8("line \xF0\x9F\x98\x80");
    TRtfParagraph full;
    full.Runs = {text};
    TRtfParagraph empty;
    TRtfParagraph emptyRight;
    emptyRight.Alignment = TRtfAlignment::Right;
    const QList<QList<TRtfParagraph>> documents = {
        {full, empty}, {full, empty, emptyRight}, {empty, full, empty}, {empty, empty}, {full}, {empty}};
    for (const QList<TRtfParagraph>& paragraphs : documents) {
        TRtfDocument doc;
        doc.Paragraphs = paragraphs;
        const TRtfDocument back = TRtfReader::Read(TRtfWriter::Write(doc));
        ASSERT_EQ(back.Paragraphs.size(), paragraphs.size()) << TRtfWriter::Write(doc).constData();
        for (qsizetype i = 0; i < paragraphs.size(); ++i) {
            EXPECT_EQ(back.Paragraphs[i].Runs, paragraphs[i].Runs) << i;
            EXPECT_EQ(back.Paragraphs[i].Alignment, paragraphs[i].Alignment) << i;
        }
        EXPECT_EQ(back.PlainText(), doc.PlainText());
    }
    // Control characters of a run are not written, so they cannot come back
    // as anything.
    TRtfRun controls;
    controls.Text = QStringLiteral("a\x01\x7F") + QChar(0x85) + QStringLiteral("b");
    TRtfParagraph p;
    p.Runs = {controls};
    TRtfDocument doc;
    doc.Paragraphs = {p};
    EXPECT_EQ(TRtfReader::Read(TRtfWriter::Write(doc)).PlainText(), QStringLiteral("ab"));
}
