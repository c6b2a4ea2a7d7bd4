#pragma once
// The installed faces of the scripts Qt shapes only with a face whose
// substitution table ('GSUB') names the script (Syriac to Sinhala, Khmer,
// N'Ko). Qt refuses every other face for such a script, whatever its
// characters and positioning, and draws the text in boxes of no font file
// (Noto Sans Thaana has no substitution table: Thaana came out blank in
// the preview and as missing glyphs in the PDF). Each installed face that
// has the script's letters but whose substitution table lacks the script
// is registered once more, as an application font of the same family and
// style, the same face with a substitution table that names the script and
// substitutes nothing: Qt then takes that copy in its place, and shaping
// (the positioning of marks included) is the face's own.

class ScriptFaces {
public:
    // Registers the copies, once per process (the application object must
    // exist); later calls do nothing. The number of faces registered.
    static int Install();
};
