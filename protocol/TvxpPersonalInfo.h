#pragma once
// The user's personal page, kept as the service document "personel.info" in
// the file myinfo.xml: name, address, company, contact numbers, listing
// service ids, a photo, a company logo and the listing-service providers.
// Read once on first demand (Load), written back when a text field was
// changed (Save). The file is written in UTF-8 with the encoding declared,
// atomically, every value escaped, so any text survives any number of
// rounds. A photo or logo that was not changed is written with the bytes it
// was read with; a changed one as a compact bitmap (BitmapWriter), so a
// page stays near its size however often it is saved.

#include "protocol/TMlsList.h"
#include "protocol/TvxpDocument.h"

#include <QImage>
#include <QString>
#include <array>

class TvxpPersonalInfo : public TvxpDocument {
public:
    explicit TvxpPersonalInfo(QObject* owner = nullptr);
    ~TvxpPersonalInfo() override;

    // Every text writer stores the value and marks the page changed.
    QString FileName() const { return m_fileName; }
    void SetFileName(const QString& value);

    QString FirstName() const { return Value(kFirst); }
    void SetFirstName(const QString& v) { SetValue(kFirst, v); }
    QString LastName() const { return Value(kLast); }
    void SetLastName(const QString& v) { SetValue(kLast, v); }
    QString FullName() const { return Value(kFull); }
    void SetFullName(const QString& v) { SetValue(kFull, v); }
    QString Address1() const { return Value(kAddr1); }
    void SetAddress1(const QString& v) { SetValue(kAddr1, v); }
    QString Address2() const { return Value(kAddr2); }
    void SetAddress2(const QString& v) { SetValue(kAddr2, v); }
    QString Company() const { return Value(kComp); }
    void SetCompany(const QString& v) { SetValue(kComp, v); }
    QString AddrCity() const { return Value(kCity); }
    void SetAddrCity(const QString& v) { SetValue(kCity, v); }
    QString AddrState() const { return Value(kState); }
    void SetAddrState(const QString& v) { SetValue(kState, v); }
    QString AddrZip() const { return Value(kZip); }
    void SetAddrZip(const QString& v) { SetValue(kZip, v); }
    QString MlsId() const { return Value(kMlsId); }
    void SetMlsId(const QString& v) { SetValue(kMlsId, v); }
    QString MlsMemberId() const { return Value(kMemberId); }
    void SetMlsMemberId(const QString& v) { SetValue(kMemberId, v); }
    QString PhType1() const { return Value(kType1); }
    void SetPhType1(const QString& v) { SetValue(kType1, v); }
    QString PhNumber1() const { return Value(kNumber1); }
    void SetPhNumber1(const QString& v) { SetValue(kNumber1, v); }
    QString PhType2() const { return Value(kType2); }
    void SetPhType2(const QString& v) { SetValue(kType2, v); }
    QString PhNumber2() const { return Value(kNumber2); }
    void SetPhNumber2(const QString& v) { SetValue(kNumber2, v); }
    QString PhType3() const { return Value(kType3); }
    void SetPhType3(const QString& v) { SetValue(kType3, v); }
    QString PhNumber3() const { return Value(kNumber3); }
    void SetPhNumber3(const QString& v) { SetValue(kNumber3, v); }
    QString PhType4() const { return Value(kType4); }
    void SetPhType4(const QString& v) { SetValue(kType4, v); }
    QString PhNumber4() const { return Value(kNumber4); }
    void SetPhNumber4(const QString& v) { SetValue(kNumber4, v); }

    // Plain fields: changing them does not mark the page changed.
    bool ShowMls = false;
    QImage Photo;
    QImage Logo;

    // Whether the file was read, and whether the page changed since (set
    // at creation, and by the My Page step after it loads a picture).
    bool Loaded = false;
    bool Dirty = true;

    const TMlsList& Providers() const { return m_providers; }
    void AddProvider(const QString& id, const QString& name);
    void ClearProviders();
    // The name of the provider whose id is MlsId (the last one when several
    // are); empty when none is.
    QString ProviderName() const;

    // Reads the file once: nothing when it does not exist or was read. A
    // file that does not parse raises the parser's error and stays unread.
    void Load();
    // Writes the file when the page changed.
    void Save();

private:
    enum Field {
        kFirst,
        kLast,
        kFull,
        kAddr1,
        kAddr2,
        kComp,
        kCity,
        kState,
        kZip,
        kMlsId,
        kMemberId,
        kType1,
        kNumber1,
        kType2,
        kNumber2,
        kType3,
        kNumber3,
        kType4,
        kNumber4,
        kFieldCount
    };
    static const std::array<const char*, kFieldCount> kAttributes;

    QString Value(Field f) const { return m_values[f]; }
    void SetValue(Field f, const QString& value);

    // A picture's bitmap file as read or last written, and the picture it
    // gave: written again as it is while the picture is unchanged.
    struct StoredPicture {
        QByteArray bytes;
        QImage image;
    };
    static void DecodePicture(const QString& text, QImage& picture, StoredPicture& stored);
    static void AppendPicture(TXMLElement* request, const QString& name, const QImage& picture, StoredPicture& stored);

    QString m_fileName;
    std::array<QString, kFieldCount> m_values;
    TMlsList m_providers;
    StoredPicture m_storedPhoto;
    StoredPicture m_storedLogo;
};
