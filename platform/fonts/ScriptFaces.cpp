#include "platform/fonts/ScriptFaces.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QtEndian>
#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace {

// The scripts Qt shapes only with a face whose substitution table names
// them, each with a letter of it: a face holding the letter is one of the
// script's.
struct ScriptLetter {
    hb_script_t Script;
    char32_t Letter;
};
const ScriptLetter Scripts[] = {
    {HB_SCRIPT_SYRIAC, 0x0710},  {HB_SCRIPT_THAANA, 0x0780},    {HB_SCRIPT_DEVANAGARI, 0x0915},
    {HB_SCRIPT_BENGALI, 0x0995}, {HB_SCRIPT_GURMUKHI, 0x0A15},  {HB_SCRIPT_GUJARATI, 0x0A95},
    {HB_SCRIPT_ORIYA, 0x0B15},   {HB_SCRIPT_TAMIL, 0x0B95},     {HB_SCRIPT_TELUGU, 0x0C15},
    {HB_SCRIPT_KANNADA, 0x0C95}, {HB_SCRIPT_MALAYALAM, 0x0D15}, {HB_SCRIPT_SINHALA, 0x0D9A},
    {HB_SCRIPT_KHMER, 0x1780},   {HB_SCRIPT_NKO, 0x07CA},
};

struct BlobDeleter {
    void operator()(hb_blob_t* b) const { hb_blob_destroy(b); }
};
struct FaceDeleter {
    void operator()(hb_face_t* f) const { hb_face_destroy(f); }
};
using Blob = std::unique_ptr<hb_blob_t, BlobDeleter>;
using Face = std::unique_ptr<hb_face_t, FaceDeleter>;

// The font files (and faces within them) fontconfig lists as holding a
// character.
struct FaceFile {
    QByteArray Path;
    int Index = 0;
};
std::vector<FaceFile> FacesWith(char32_t letter)
{
    std::vector<FaceFile> faces;
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* letters = FcCharSetCreate();
    FcCharSetAddChar(letters, FcChar32(letter));
    FcPatternAddCharSet(pattern, FC_CHARSET, letters);
    FcObjectSet* wanted = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    if (FcFontSet* set = FcFontList(nullptr, pattern, wanted)) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch || !file || !*file) continue;
            FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
            // A variable face's named instances are the face itself.
            if (index < 0 || index > 0xFFFF) continue;
            faces.push_back(FaceFile{QByteArray(reinterpret_cast<const char*>(file)), index});
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(wanted);
    FcCharSetDestroy(letters);
    FcPatternDestroy(pattern);
    return faces;
}

// A substitution table naming the scripts (sorted tags), each with an
// empty default language system: no features, no lookups.
QByteArray SubstitutionsNaming(const std::vector<hb_tag_t>& scripts)
{
    const auto n = quint16(scripts.size());
    const quint16 scriptList = 10, script = quint16(2 + 6 * n), features = quint16(scriptList + script + 10);
    std::vector<quint16> words = {1, 0, scriptList, features, quint16(features + 2), n};
    for (const hb_tag_t tag : scripts) words.insert(words.end(), {quint16(tag >> 16), quint16(tag & 0xFFFF), script});
    // The script table (its default language system right after it), the
    // language system (no required feature, no features), and the empty
    // feature and lookup lists.
    words.insert(words.end(), {4, 0, 0, 0xFFFF, 0, 0, 0});
    QByteArray table(qsizetype(words.size() * 2), Qt::Uninitialized);
    for (size_t i = 0; i < words.size(); ++i) qToBigEndian<quint16>(words[i], table.data() + 2 * i);
    return table;
}

// The face's file with a substitution table naming the scripts added, every
// other table as it is; empty when the face has a substitution table (its
// own substitutions stay whole: a face made for a script names it) or
// does not read.
QByteArray WithScriptsNamed(hb_face_t* face, const std::vector<hb_tag_t>& scripts)
{
    const Blob gsub(hb_face_reference_table(face, HB_OT_TAG_GSUB));
    if (hb_blob_get_length(gsub.get()) != 0) return {};
    hb_tag_t tags[64];
    unsigned count = std::size(tags);
    const unsigned total = hb_face_get_table_tags(face, 0, &count, tags);
    if (total == 0 || total > count) return {};
    const Face builder(hb_face_builder_create());
    for (unsigned i = 0; i < count; ++i) {
        const Blob table(hb_face_reference_table(face, tags[i]));
        hb_face_builder_add_table(builder.get(), tags[i], table.get());
    }
    const QByteArray substitutions = SubstitutionsNaming(scripts);
    const Blob added(hb_blob_create(substitutions.constData(), unsigned(substitutions.size()), HB_MEMORY_MODE_DUPLICATE,
                                    nullptr, nullptr));
    hb_face_builder_add_table(builder.get(), HB_OT_TAG_GSUB, added.get());
    const Blob file(hb_face_reference_blob(builder.get()));
    unsigned length = 0;
    const char* data = hb_blob_get_data(file.get(), &length);
    return data ? QByteArray(data, qsizetype(length)) : QByteArray();
}

int InstallOnce()
{
    // Each face with the scripts whose letters it has.
    std::map<std::pair<QByteArray, int>, std::vector<hb_tag_t>> faces;
    for (const ScriptLetter& s : Scripts) {
        hb_tag_t tags[HB_OT_MAX_TAGS_PER_SCRIPT];
        unsigned tagCount = HB_OT_MAX_TAGS_PER_SCRIPT;
        hb_ot_tags_from_script_and_language(s.Script, HB_LANGUAGE_INVALID, &tagCount, tags, nullptr, nullptr);
        if (tagCount == 0) continue;
        for (const FaceFile& f : FacesWith(s.Letter)) {
            std::vector<hb_tag_t>& scripts = faces[{f.Path, f.Index}];
            if (std::find(scripts.begin(), scripts.end(), tags[0]) == scripts.end()) scripts.push_back(tags[0]);
        }
    }
    int installed = 0;
    for (auto& [file, scripts] : faces) {
        const Blob bytes(hb_blob_create_from_file_or_fail(file.first.constData()));
        if (!bytes) continue;
        const Face face(hb_face_create(bytes.get(), unsigned(file.second)));
        if (hb_face_get_glyph_count(face.get()) == 0) continue;
        std::sort(scripts.begin(), scripts.end());
        const QByteArray copy = WithScriptsNamed(face.get(), scripts);
        if (!copy.isEmpty() && QFontDatabase::addApplicationFontFromData(copy) >= 0) ++installed;
    }
    return installed;
}

} // namespace

int ScriptFaces::Install()
{
    static const int installed = InstallOnce();
    return installed;
}
