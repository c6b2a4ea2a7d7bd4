#include "ParserTestSupport.h"

#include "protocol/xml/TXMLElement.h"

#include <gtest/gtest.h>
#include <QDebug>

using namespace parsertest;

TEST(ParserSmoke, ParsesAndWrites)
{
    Doc d = Parse(QByteArray("<?xml version=\"1.0\"?>\n<vxp><req a=\"1\" b='x&amp;y'><c>text &lt; here</c><!-- note --><?pi data?><![CDATA[raw <x>]]></req></vxp>"));
    ASSERT_TRUE(d.doc);
    qDebug().noquote() << Text(*d.doc);
    EXPECT_EQ(d.doc->getDocumentElement()->getTagName(), QStringLiteral("vxp"));
}
