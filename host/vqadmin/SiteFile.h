#pragma once
// The site file: a whole site (system values, profiles, devices) as JSON, for
// people to write and for tools to exchange. Profile and device fields carry
// the names of HostRecords' field tables; a profile's model settings are keyed
// by their custom-data path, or the custom data is given as raw text. Files
// are read and written record by record, so that a site of any size passes
// through in little memory.

#include "HostRecords.h"
#include "JsonStream.h"

#include <QByteArray>
#include <QHash>

// A site file that cannot be taken: the message names the place, as
// "profiles[2].fields.Codecs: expected an integer".
class ESiteFile : public Exception {
public:
    using Exception::Exception;
};

// Takes a site record by record: the system values once, and every profile
// before any device, each record complete with its database ID.
class TSiteSink {
public:
    virtual ~TSiteSink() = default;
    virtual void System(const TSystemValues &Values) = 0;
    virtual void Profile(const TProfileRecord &Profile) = 0;
    virtual void Device(const TDeviceRecord &Device) = 0;
};

// Passes the site the file describes to Sink, every profile and device with
// its database ID (given, or the next free one in file order). Raises
// ESiteFile, possibly after passing on part of the site.
void ReadSiteFile(QIODevice &File, TSiteSink &Sink);
// The complete site the text describes. Raises ESiteFile.
TSite ReadSiteFile(const QByteArray &Json);

// Writes every stored value as it comes, so that reading the text back yields
// the same site. Custom data that the settings form reproduces exactly is
// written as settings, any other as raw text. Raises Exception when Out
// refuses the text; Name is Out's, for that message.
class TSiteFileWriter : public TSiteSink {
public:
    TSiteFileWriter(QIODevice &Out, const QString &Name);
    void System(const TSystemValues &Values) override;
    void Profile(const TProfileRecord &Profile) override;
    void Device(const TDeviceRecord &Device) override;
    // Ends the document: the text is complete only then.
    void Finish();

private:
    enum class TArray { None, Profiles, Devices };
    void BeginArray(TArray Array);
    void EndArray();

    TJsonWriter FJson;
    QHash<int64_t, QString> FNames; // the profiles' names by ID
    TArray FOpen = TArray::None;
    bool FProfilesBegun = false, FDevicesBegun = false;
};

QByteArray WriteSiteFile(const TSite &Site);
