#pragma once
// The site file: a whole site (system values, profiles, devices) as JSON, for
// people to write and for tools to exchange. Profile and device fields carry
// the names of HostRecords' field tables; a profile's model settings are keyed
// by their custom-data path, or the custom data is given as raw text. Files
// are read and written record by record, so that a site of any size passes
// through in little memory.

#include "database/HostRecords.h"
#include "JsonStream.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>

// A site file that cannot be taken: the message names the place, as
// "profiles[2].fields.Codecs: expected an integer".
class ESiteFile : public Exception {
public:
    using Exception::Exception;
};

// Takes a site record by record: the system values once, and every profile
// before any device. Profiles come complete with their database ID; devices
// with the one the file gives, or 0: the sink numbers those itself once all
// have come, so that no reader holds a site's bulk.
class TSiteSink {
public:
    virtual ~TSiteSink() = default;
    virtual void System(const TSystemValues &Values) = 0;
    virtual void Profile(const TProfileRecord &Profile) = 0;
    // False, taking nothing, when a device that came before has its DeviceID.
    virtual bool Device(const TDeviceRecord &Device) = 0;
    // Every device has come: those with DeviceID 0 take the next free IDs, in the order they came.
    virtual void NumberDevices() = 0;
};

// Passes the site the file describes to Sink, in file order, every profile
// with its database ID (given, or the next free one in file order) and every
// device with its profile's. Raises ESiteFile, possibly after passing on part
// of the site.
void ReadSiteFile(QIODevice &File, TSiteSink &Sink);
// The complete site the text describes. Raises ESiteFile.
TSite ReadSiteFile(const QByteArray &Json);

// Writes every stored value as it comes, so that reading the text back yields
// the same site. Custom data that the settings form reproduces exactly is
// written as settings, any other as raw text. Raises Exception when Out
// refuses the text; Name is Out's, for that message.
class TSiteFileWriter {
public:
    TSiteFileWriter(QIODevice &Out, const QString &Name);
    void System(const TSystemValues &Values);
    void Profile(const TProfileRecord &Profile);
    void Device(const TDeviceRecord &Device);
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

// The settings of the schema's paths that custom data holds, by path, as the
// site file writes them; none for a text that is not custom data.
std::optional<QJsonObject> CustomDataSettings(const QString &Text, const TCustomDataSchema &Schema);
