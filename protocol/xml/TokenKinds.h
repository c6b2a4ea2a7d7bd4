#pragma once
// Token kinds of the lexer. A token of one other character has that
// character's code as its kind.

namespace tk {
constexpr int CommentStart = 256; // "<!--"
constexpr int PIStart = 257;      // "<?"
constexpr int CDataStart = 258;   // "<![CDATA["
constexpr int XmlDeclStart = 259; // "<?xml"
constexpr int Doctype = 260;      // "<!DOCTYPE"
constexpr int TagStart = 261;     // "<"
constexpr int TagEnd = 262;       // ">"
constexpr int EmptyTagEnd = 263;  // "/>"
constexpr int EndTagStart = 264;  // "</"
constexpr int ElementDecl = 265;  // "<!ELEMENT"
constexpr int AttlistDecl = 266;  // "<!ATTLIST"
constexpr int SectionStart = 267; // "<!["
constexpr int EntityDecl = 268;   // "<!ENTITY"
constexpr int CommentEnd = 269;   // "-->"
constexpr int PIEnd = 270;        // "?>"
constexpr int CDataEnd = 271;     // "]]>"
constexpr int PCData = 272;       // "#PCDATA"
constexpr int Required = 273;     // "#REQUIRED"
constexpr int Implied = 274;      // "#IMPLIED"
constexpr int Fixed = 275;        // "#FIXED"
constexpr int NotationDecl = 276; // "<!NOTATION"
constexpr int Name = 300;
constexpr int Literal = 302; // quoted literal, text without the quotes
constexpr int Text = 303;    // character data, comment text, CDATA content, PI data
constexpr int Nmtoken = 307; // a run of name characters not starting a name
constexpr int EndOfInput = 400;
constexpr int UnknownMarkup = 401; // markup text not in the table
} // namespace tk
