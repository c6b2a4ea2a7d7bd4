#include "protocol/xml/TLexAnalyzer.h"

#include "platform/core/Format.h"
#include "protocol/xml/TokenKinds.h"
#include "protocol/xml/LexChars_p.h"
#include "protocol/xml/XmlEntities_p.h"

#include <cstring>

using lexchars::SameText;

TLexAnalyzer::TLexAnalyzer(QObject* owner) : QObject(owner) { }

TLexAnalyzer::~TLexAnalyzer() { CloseLexer(); }

TLexParts::TLexParts() { SymTab.AddKeywords(); }

TLexParts::~TLexParts()
{
    for (auto& f : Entities) xmlentities::EndExpansion(f.Decl);
}

TLexAnalyzer::TLexSession TLexAnalyzer::OpenLexer()
{
    CloseLexer();
    m_parts = std::make_unique<TLexParts>();
    m_main = &m_parts->Main;
    m_entity = nullptr;
    m_current = m_main;
    m_symtab = &m_parts->SymTab;
    m_prev = &m_parts->Prev;
    m_token = &m_parts->Token;
    m_stack = &m_parts->Stack;
    m_entities = &m_parts->Entities;
    m_curChar = 0;
    m_line = 1;
    m_inPIData = false;
    return TLexSession(*this);
}

void TLexAnalyzer::TLexSession::Close()
{
    if (m_lexer) std::exchange(m_lexer, nullptr)->CloseLexer();
}

void TLexAnalyzer::CloseLexer()
{
    if (!m_parts) return;
    m_parts.reset();
    m_entities = nullptr;
    m_main = m_entity = m_current = nullptr;
    m_symtab = nullptr;
    m_prev = m_token = nullptr;
    m_stack = nullptr;
    m_inPIData = false;
}

void TLexAnalyzer::SaveState(TLexState& state) const
{
    state.MainBuffer = m_main;
    state.EntityBuffer = m_entity;
    state.CurrentBuffer = m_current;
    state.SymTab = m_symtab;
    state.PrevToken = m_prev;
    state.Token = m_token;
    state.CurChar = m_curChar;
    state.Stack = m_stack;
    state.Line = m_line;
    state.SourceName = m_sourceName;
    state.Entities = m_entities;
}

void TLexAnalyzer::RestoreState(const TLexState& state)
{
    m_main = state.MainBuffer;
    m_entity = state.EntityBuffer;
    m_current = state.CurrentBuffer;
    m_symtab = state.SymTab;
    m_prev = state.PrevToken;
    m_token = state.Token;
    m_curChar = state.CurChar;
    m_stack = state.Stack;
    m_line = state.Line;
    m_sourceName = state.SourceName;
    m_entities = state.Entities;
}

void TLexAnalyzer::SwitchBuffer()
{
    if (!m_entities || m_entities->empty()) {
        m_current = m_main;
        return;
    }
    xmlentities::EndExpansion(m_entities->back().Decl);
    m_entities->pop_back();
    m_entity = m_entities->empty() ? nullptr : m_entities->back().Buffer.get();
    m_current = m_entity ? m_entity : m_main;
}

void TLexAnalyzer::Error(const QString& message) const { throw EXMLParserError(message, m_line, 0, m_sourceName); }

// ---------------------------------------------------------------- matching

void TLexAnalyzer::AfterMatch()
{
    // The replacement text of a parameter entity is used up: go on in the text
    // that referred to it, keeping the token just matched.
    while (m_token->Kind == tk::EndOfInput && InEntity()) {
        SwitchBuffer();
        const TSTEntry keep = *m_prev;
        NextToken();
        *m_prev = keep;
    }
}

void TLexAnalyzer::IllegalOccurrence() const
{
    Error(Format(m_illegalWithStop ? QStringLiteral("Illegal occurence of \"%s\".")
                                   : QStringLiteral("Illegal occurence of \"%s\""),
                 {m_token->Text}));
}

void TLexAnalyzer::ExpandPending(int unless)
{
    while (m_expandsReferences && m_token->Kind == '%' && unless != '%') ExpandPEReference();
}

void TLexAnalyzer::Match(int kind)
{
    if (m_token->Kind != kind) ExpandPending(kind);
    if (m_token->Kind != kind) {
        if (m_token->Kind == tk::EndOfInput && !InEntity()) Error(QStringLiteral("Unexpected end of file."));
        IllegalOccurrence();
    }
    NextToken();
    AfterMatch();
}

static bool TextMatches(const TSTEntry& token, const QString& text)
{
    return token.Kind != tk::Literal && token.Kind != tk::Text && SameText(token.Text, text);
}

void TLexAnalyzer::MatchText(const QString& text)
{
    if (!TextMatches(*m_token, text)) ExpandPending(text == u"%" ? '%' : 0);
    if (!TextMatches(*m_token, text)) {
        if (m_token->Kind == tk::EndOfInput && !InEntity()) Error(QStringLiteral("Unexpected end of file."));
        IllegalOccurrence();
    }
    NextToken();
    AfterMatch();
}

void TLexAnalyzer::MatchEither(int kind1, int kind2)
{
    if (m_token->Kind != kind1 && m_token->Kind != kind2) ExpandPending(kind1 == '%' || kind2 == '%' ? '%' : 0);
    Match(m_token->Kind == kind2 ? kind2 : kind1);
}

bool TLexAnalyzer::IsKind(int kind)
{
    ExpandPending(kind);
    return m_token->Kind == kind;
}

bool TLexAnalyzer::IsText(const QString& text)
{
    ExpandPending(text == u"%" ? '%' : 0);
    return TextMatches(*m_token, text);
}

void TLexAnalyzer::MatchStrict(int kind)
{
    if (m_token->Kind != kind) {
        if (m_token->Kind == tk::EndOfInput) Error(QStringLiteral("Unexpected end of file."));
        IllegalOccurrence();
    }
    NextToken();
}

void TLexAnalyzer::MatchStrictText(const QString& text)
{
    if (!TextMatches(*m_token, text)) {
        if (m_token->Kind == tk::EndOfInput) Error(QStringLiteral("Unexpected end of file."));
        IllegalOccurrence();
    }
    NextToken();
}

// ---------------------------------------------------------------- tokens

void TLexAnalyzer::SetKeyword(int kind) { *m_token = m_symtab->Entry(m_symtab->KeywordEntry(kind)); }

void TLexAnalyzer::SetCharToken(char16_t c) { *m_token = m_symtab->Entry(m_symtab->CharEntry(c)); }

void TLexAnalyzer::SetTextToken(int kind)
{
    m_token->SetToken(kind, QString(reinterpret_cast<const QChar*>(m_text.data()), qsizetype(m_text.size())), -1);
}

void TLexAnalyzer::SetNameToken()
{
    int index = -1;
    const QString& name = m_symtab->InternName(m_text.data(), qsizetype(m_text.size()), index);
    m_token->SetToken(tk::Name, name, index);
}

void TLexAnalyzer::SetEndToken() { m_token->SetToken(tk::EndOfInput, QString(), -1); }

// ---------------------------------------------------------------- scanners

namespace {

using lexchars::AsciiNameByte;
using lexchars::PlainByte;

// Appends the run of plain one-byte characters that starts at the buffer's
// position and stops before any byte for which stop holds (and before any
// byte that is not plain). Counts line feeds when asked; without a counter
// a line feed ends the run.
template <typename Stop>
void BulkAppend(TInputBuffer& in, std::vector<char16_t>& out, Stop stop, qint32* line)
{
    if (!in.ByteEncoded()) return;
    const uint8_t* d = in.Bytes();
    const qsizetype p = in.Pos();
    const qsizetype e = in.Size();
    qsizetype q = p;
    qint32 lines = 0;
    while (q < e) {
        const uint8_t b = d[q];
        if (!PlainByte(b) || stop(b)) break;
        if (b == '\n') {
            if (!line) break;
            ++lines;
        }
        ++q;
    }
    if (q == p) return;
    const size_t old = out.size();
    out.resize(old + size_t(q - p));
    char16_t* o = out.data() + old;
    for (qsizetype i = p; i < q; ++i) *o++ = d[i];
    in.SkipAscii(q - p);
    if (line) *line += lines;
}

} // namespace

void TLexAnalyzer::ScanMarkup()
{
    if (m_contentEnabled) m_inContent = false;
    char16_t c = NextChar();
    if (c == u'!') {
        c = NextChar();
        if (c == u'-') {
            if (NextChar() != u'-') Error(QStringLiteral("Wrong declaration (comment?): \"<!-\"."));
            SetKeyword(tk::CommentStart);
        } else if (c == u'[') {
            char16_t six[6];
            for (auto& ch : six) ch = NextChar();
            if (SameText(QStringView(six, 6), u"CDATA[")) {
                SetKeyword(tk::CDataStart);
            } else {
                m_current->StepBackChars(6);
                SetKeyword(tk::SectionStart);
            }
        } else {
            char16_t word[8];
            word[0] = c;
            for (int i = 1; i < 6; ++i) word[i] = NextChar();
            if (SameText(QStringView(word, 6), u"ENTITY")) {
                SetKeyword(tk::EntityDecl);
            } else {
                word[6] = NextChar();
                const QStringView seven(word, 7);
                if (SameText(seven, u"DOCTYPE")) {
                    SetKeyword(tk::Doctype);
                } else if (SameText(seven, u"ELEMENT")) {
                    SetKeyword(tk::ElementDecl);
                } else if (SameText(seven, u"ATTLIST")) {
                    SetKeyword(tk::AttlistDecl);
                } else {
                    word[7] = NextChar();
                    if (!SameText(QStringView(word, 8), u"NOTATION"))
                        Error(QStringLiteral("Wrong declaration: \"<!\"."));
                    SetKeyword(tk::NotationDecl);
                }
            }
        }
    } else if (c == u'/') {
        SetKeyword(tk::EndTagStart);
    } else if (c == u'?') {
        char16_t x[3];
        for (auto& ch : x) ch = NextChar();
        if (SameText(QStringView(x, 3), u"xml")) {
            const char16_t after = NextChar();
            if (after != 0 && IsNameChar(after)) {
                // A target that only begins with those letters.
                m_current->StepBackChars(4);
                SetKeyword(tk::PIStart);
            } else {
                if (after == 0) StepBack();
                SetKeyword(tk::XmlDeclStart);
            }
        } else {
            m_current->StepBackChars(3);
            SetKeyword(tk::PIStart);
        }
    } else {
        StepBack();
        SetKeyword(tk::TagStart);
    }
}

void TLexAnalyzer::ScanClose()
{
    if (m_contentEnabled) m_inContent = true;
    switch (m_curChar) {
    case u'-':
        if (NextChar() != u'-' || NextChar() != u'>') Error(QStringLiteral("Illegal occurence of : \"--\"."));
        SetKeyword(tk::CommentEnd);
        break;
    case u'/':
        if (NextChar() != u'>') Error(QStringLiteral("Illegal occurence of : \"/\"."));
        SetKeyword(tk::EmptyTagEnd);
        break;
    case u'?':
        if (NextChar() == u'>') {
            SetKeyword(tk::PIEnd);
        } else {
            StepBack();
            SetCharToken(u'?');
        }
        break;
    case u']':
        if (NextChar() == u']') {
            if (NextChar() != u'>') Error(QStringLiteral("Illegal occurence of : \"]]\"."));
            SetKeyword(tk::CDataEnd);
        } else {
            StepBack();
            SetCharToken(u']');
        }
        break;
    default: SetKeyword(tk::TagEnd); break;
    }
}

void TLexAnalyzer::ScanText(bool endEndsText)
{
    char16_t c = m_curChar;
    // Plain one-byte text up to "<" (or the end) becomes the token at once.
    if (m_current->ByteEncoded() && c < 0x80 && PlainByte(uint8_t(c)) && c != u'<' &&
        m_current->Pos() - m_current->LastStart() == 1) {
        const uint8_t* d = m_current->Bytes();
        const qsizetype start = m_current->LastStart();
        const qsizetype e = m_current->Size();
        const qsizetype from = m_current->Pos();
        const void* lt = from < e ? std::memchr(d + from, '<', size_t(e - from)) : nullptr;
        const qsizetype stop = lt ? static_cast<const uint8_t*>(lt) - d : e;
        // One branch-free pass: are all bytes plain, and how many are LFs.
        qint32 lines = c == u'\n' ? 1 : 0;
        unsigned plain = 1;
        for (qsizetype i = from; i < stop; ++i) {
            const uint8_t b = d[i];
            lines += b == '\n';
            plain &=
                unsigned((b >= 0x20) & (b < 0x7F)) | unsigned(b == '\t') | unsigned(b == '\n') | unsigned(b == '\r');
        }
        const qsizetype q = stop;
        if (plain) {
            m_line += lines;
            if (q == e && !endEndsText) {
                bool blank = true;
                for (qsizetype i = start; i < q && blank; ++i) blank = lexchars::IsBlank(d[i]);
                if (!blank) Error(QStringLiteral("Unexpected end of file."));
            }
            m_current->SkipAscii(q - m_current->Pos());
            m_token->SetToken(tk::Text, QString::fromLatin1(reinterpret_cast<const char*>(d + start), q - start), -1);
            return;
        }
    }
    m_text.clear();
    for (;;) {
        if (c == u'<') {
            StepBack();
            break;
        }
        if (c == 0) {
            if (!endEndsText && !lexchars::IsAllBlank(m_text.data(), m_text.size()))
                Error(QStringLiteral("Unexpected end of file."));
            StepBack();
            break;
        }
        if (c == u'\n') ++m_line;
        m_text.push_back(c);
        BulkAppend(
            *m_current, m_text, [](uint8_t b) { return b == '<'; }, &m_line);
        c = NextChar();
    }
    SetTextToken(tk::Text);
}

void TLexAnalyzer::ScanComment()
{
    m_text.clear();
    char16_t c = m_curChar;
    for (;;) {
        if (c == 0) Error(QStringLiteral("Comment does not have a matching end-tag."));
        if (c == u'-') {
            const char16_t c2 = NextChar();
            if (c2 != u'-') {
                StepBack();
                m_text.push_back(u'-');
            } else {
                if (NextChar() != u'>') Error(QStringLiteral("Comment contains wrong entry \"--\""));
                m_current->StepBackChars(3);
                break;
            }
        } else if (c == u'\n') {
            ++m_line;
        } else if (c == u'\r') {
            // dropped
        } else if (c == u' ') {
            if (m_text.empty() || m_text.back() != u' ') m_text.push_back(c);
        } else {
            m_text.push_back(c);
        }
        c = NextChar();
    }
    SetTextToken(tk::Text);
}

void TLexAnalyzer::ScanCDATA()
{
    m_text.clear();
    char16_t c = m_curChar;
    for (;;) {
        if (c == 0) Error(QStringLiteral("CDSection does not have a matching end-tag."));
        if (c == u']') {
            const char16_t c2 = NextChar();
            const char16_t c3 = NextChar();
            if (c2 == u']' && c3 == u'>') {
                m_current->StepBackChars(3);
                break;
            }
            m_current->StepBackChars(2);
            m_text.push_back(u']');
        } else {
            if (c == u'\n') ++m_line;
            m_text.push_back(c);
            BulkAppend(
                *m_current, m_text, [](uint8_t b) { return b == ']'; }, &m_line);
        }
        c = NextChar();
    }
    SetTextToken(tk::Text);
}

void TLexAnalyzer::ScanPIData()
{
    m_text.clear();
    char16_t c = m_curChar;
    if (c == u' ') c = NextChar();
    for (;;) {
        if (c == 0) Error(QStringLiteral("PI does not have a matching end-tag."));
        if (c == u'?') {
            if (NextChar() == u'>') {
                m_current->StepBackChars(2);
                break;
            }
            StepBack();
        }
        m_text.push_back(c);
        c = NextChar();
    }
    SetTextToken(tk::Text);
}

void TLexAnalyzer::ScanQuoted()
{
    const char16_t quote = m_curChar;
    // A plain one-byte literal becomes the token at once.
    if (m_current->ByteEncoded()) {
        const uint8_t* d = m_current->Bytes();
        const qsizetype start = m_current->Pos();
        const qsizetype e = m_current->Size();
        qsizetype q = start;
        while (q < e && d[q] != quote && PlainByte(d[q])) ++q;
        if (q < e && d[q] == quote) {
            m_current->SkipAscii(q + 1 - start);
            m_token->SetToken(tk::Literal, QString::fromLatin1(reinterpret_cast<const char*>(d + start), q - start),
                              -1);
            return;
        }
    }
    m_text.clear();
    for (;;) {
        if (quote == u'"')
            BulkAppend(
                *m_current, m_text, [](uint8_t b) { return b == '"'; }, nullptr);
        else
            BulkAppend(
                *m_current, m_text, [](uint8_t b) { return b == '\''; }, nullptr);
        const char16_t c = NextChar();
        if (c == quote) break;
        if (c == 0) Error(QStringLiteral("Unexpected end of file."));
        m_text.push_back(c);
    }
    SetTextToken(tk::Literal);
}

void TLexAnalyzer::ScanName()
{
    const char16_t first = m_curChar;
    // A name of ASCII name bytes ended by a plain byte is interned from the
    // input directly.
    if (m_current->ByteEncoded() && first < 0x80 && m_current->Pos() - m_current->LastStart() == 1) {
        const uint8_t* d = m_current->Bytes();
        const qsizetype start = m_current->LastStart();
        const qsizetype e = m_current->Size();
        qsizetype q = m_current->Pos();
        while (q < e && AsciiNameByte(d[q])) ++q;
        // Only a plain byte surely ends the name (an unmapped control byte
        // reads as "_", a name character).
        if (q == e || PlainByte(d[q])) {
            m_current->SkipAscii(q - m_current->Pos());
            int index = -1;
            const QString& name = m_symtab->InternName(d + start, q - start, index);
            m_token->SetToken(tk::Name, name, index);
            return;
        }
    }
    m_text.assign({first});
    for (;;) {
        if (m_current->ByteEncoded()) {
            const uint8_t* d = m_current->Bytes();
            const qsizetype p = m_current->Pos();
            const qsizetype e = m_current->Size();
            qsizetype q = p;
            while (q < e && AsciiNameByte(d[q])) ++q;
            if (q > p) {
                for (qsizetype i = p; i < q; ++i) m_text.push_back(d[i]);
                m_current->SkipAscii(q - p);
            }
        }
        const char16_t c = NextChar();
        if (c == 0 || !IsNameChar(c)) {
            StepBack();
            break;
        }
        m_text.push_back(c);
    }
    SetNameToken();
}

void TLexAnalyzer::ScanHashKeyword()
{
    m_text.assign({u'#'});
    const char16_t c = NextChar();
    int more = 0;
    int kind = 0;
    const char16_t* keyword = nullptr;
    switch (c) {
    case u'F':
    case u'f':
        more = 4;
        keyword = u"#FIXED";
        kind = tk::Fixed;
        break;
    case u'I':
    case u'i':
        more = 6;
        keyword = u"#IMPLIED";
        kind = tk::Implied;
        break;
    case u'P':
    case u'p':
        more = 5;
        keyword = u"#PCDATA";
        kind = tk::PCData;
        break;
    case u'R':
    case u'r':
        more = 7;
        keyword = u"#REQUIRED";
        kind = tk::Required;
        break;
    default: Error(QStringLiteral("Wrong declaration: \"#\"."));
    }
    m_text.push_back(c);
    for (int i = 0; i < more; ++i) m_text.push_back(NextChar());
    const QStringView text(m_text.data(), qsizetype(m_text.size()));
    if (!SameText(text, QStringView(keyword)))
        Error(Format(QStringLiteral("Unsupported keyword: \"%s\"."), {text.toString()}));
    SetKeyword(kind);
}

bool TLexAnalyzer::ScanToken(bool nameTokens)
{
    const char16_t c = m_curChar;
    if (m_inPIData) {
        ScanPIData();
        return true;
    }
    if (m_prev->Kind == tk::CommentStart) {
        ScanComment();
        return true;
    }
    switch (c) {
    case u' ':
    case u'\t':
    case u'\r':
        if (m_inContent) break;
        return false;
    case u'\n': ++m_line; return false;
    case u'<': ScanMarkup(); return true;
    case u'-':
    case u'?':
    case u']':
    case u'/':
    case u'>': ScanClose(); return true;
    case u'#': ScanHashKeyword(); return true;
    case u'"':
    case u'\'': ScanQuoted(); return true;
    case 0: SetEndToken(); return true;
    default: break;
    }
    if (nameTokens ? IsNameChar(c) : IsNameStart(c)) {
        ScanName();
        if (!IsNameStart(c)) m_token->Kind = tk::Nmtoken;
        return true;
    }
    SetCharToken(c);
    return true;
}

// ---------------------------------------------------------------- grammar

void TLexAnalyzer::ParseComment()
{
    Match(tk::CommentStart);
    Match(tk::Text);
    BeginNode(5, m_prev->Text);
    Match(tk::CommentEnd);
}

void TLexAnalyzer::ParsePI()
{
    Match(tk::PIStart);
    m_inPIData = true;
    Match(tk::Name);
    m_inPIData = false;
    const QString target = m_prev->Text;
    // The target "xml" is reserved in any letter case (white space after
    // "<?" lets it through the token reader): such a node would be written
    // as an XML declaration, which the document could no longer hold.
    if (SameText(target, QStringLiteral("xml")))
        Error(Format(QStringLiteral("Illegal occurence of \"%s\""), {QStringLiteral("<?") + target}));
    Match(tk::Text);
    AddNode(6, target, m_prev->Text);
    Match(tk::PIEnd);
}

void TLexAnalyzer::ParseExternalID()
{
    if (TextMatches(*m_token, QStringLiteral("SYSTEM"))) {
        MatchText(QStringLiteral("SYSTEM"));
        Match(tk::Literal);
        BeginNode(28, m_prev->Text);
    } else if (TextMatches(*m_token, QStringLiteral("PUBLIC"))) {
        MatchText(QStringLiteral("PUBLIC"));
        Match(tk::Literal);
        BeginNode(29, m_prev->Text);
        if (m_token->Kind == tk::Literal) {
            Match(tk::Literal);
            BeginNode(28, m_prev->Text);
        }
    } else {
        Error(Format(QStringLiteral("Illegal occurence of \"%s\"."), {m_token->Text}));
    }
}

bool TLexAnalyzer::ParsePseudoAttribute(const QString& name)
{
    if (m_token->Kind != tk::Name || !SameText(m_token->Text, name)) return false;
    const QString written = m_token->Text;
    Match(tk::Name);
    Match('=');
    if (m_token->Kind != tk::Literal) Error(QStringLiteral("Attribute value required or incorrect"));
    Match(tk::Literal);
    AddNode(2, written, m_prev->Text);
    return true;
}

void TLexAnalyzer::ParseTextDecl()
{
    if (m_token->Kind != tk::XmlDeclStart) return;
    Match(tk::XmlDeclStart);
    if (ParsePseudoAttribute(QStringLiteral("version"))) {
        const QString version = m_prev->Text;
        if (lexchars::IsAllBlank(version)) Error(QStringLiteral("Version declaration: version number required"));
        if (version != QStringLiteral("1.0"))
            Error(Format(QStringLiteral("Version declaration: version \"%s\" is not supported."), {version}));
    }
    if (!ParsePseudoAttribute(QStringLiteral("encoding"))) Error(QStringLiteral("Encoding declaration required"));
    Match(tk::PIEnd);
}

void TLexAnalyzer::ExpandPEReference()
{
    const TSTEntry keep = *m_prev;
    MatchText(QStringLiteral("%"));
    Match(tk::Name);
    const QString name = m_prev->Text;
    QString value;
    TCustomEntityDecl* decl = nullptr;
    if (!xmlentities::ResolveParameterEntity(m_document, name, value, decl))
        Error(Format(QStringLiteral("Can't retrieve parameter entity value. Entity \"%s\" is not declared."), {name}));
    if (m_entities->size() >= size_t(xmlentities::MaxEntityDepth))
        Error(QStringLiteral("Entity expansion limit exceeded."));
    TPEFrame frame;
    frame.Buffer = std::make_unique<TInputBuffer>();
    frame.Buffer->SetBytes(xmlentities::Utf16Bytes(value));
    frame.Buffer->ForceEncoding(UTF_16, false);
    frame.Decl = decl;
    xmlentities::BeginExpansion(decl, name);
    m_entities->push_back(std::move(frame));
    m_entity = m_entities->back().Buffer.get();
    m_current = m_entity;
    MatchText(QStringLiteral(";"));
    // A text declaration at the head of the replacement text is checked; the
    // text is decoded already, so it switches nothing.
    if (InEntity() && m_token->Kind == tk::XmlDeclStart) ParseTextDecl();
    *m_prev = keep;
}
