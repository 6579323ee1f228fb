#pragma once
// Validating a whole site through the plug-in's module, plus what only the
// host can see: two devices sharing a device ID or a MAC address. Devices are
// read and judged in batches, and the verdicts go out as they are reached, so
// memory stays flat whatever the site's size.

#include "database/ConfigDatabase.h"

// Takes the verdicts as validation reaches them: every profile's, then every
// device's, by profile in ProfileID order, then those without one; DeviceID
// order within.
class TVerdictSink {
public:
    virtual ~TVerdictSink() = default;
    virtual void Profile(const TVerdict &Verdict) = 0;
    virtual void Device(const TVerdict &Verdict) = 0;
};

struct TValidationReport {
    std::vector<TVerdict> Profiles;
    std::vector<TVerdict> Devices;
    bool HasErrors() const;
};

// How many of the site's profiles and devices are judged so far.
using TValidationProgress = std::function<void(int64_t Done, int64_t Total)>;

// Every profile through ValidateProfile; every device with its prepared
// profile, or through the plain ValidateDevice when it has none. A module
// operation that raises counts as an error of that object, carrying the
// exception's message. Raises EDatabase.
void ValidateSite(TConfigDatabase &Database, IDevicePluginModule &Module, TVerdictSink &Sink,
                  const TValidationProgress &Progress = {});
TValidationReport ValidateSite(TConfigDatabase &Database, IDevicePluginModule &Module);
// The verdicts of some profiles and devices as ValidateSite gives them, the
// host's findings from the devices sharing their keys; profiles that are not
// there are left out.
void ValidateRecords(TConfigDatabase &Database, IDevicePluginModule &Module, const std::vector<int64_t> &ProfileIDs,
                     const std::vector<TDeviceRecord> &Devices, TVerdictSink &Sink);

// Writes a report as the verdicts come. As text: one line per object,
// `profile "NAME": LEVEL: MESSAGE` or `device "ID": LEVEL: MESSAGE` (LEVEL ok,
// warning or error; no ": MESSAGE" when the message is empty), then the count.
// As JSON, on one line:
// {"profiles":[{"name","level","message"}...],"devices":[{"id","profile","level","message"}...]}
// with level none, warning or error; a device without a profile has profile null.
// Out takes the UTF-8 text in pieces of some 64 KiB: a report may have a
// million lines.
class TReportWriter : public TVerdictSink {
public:
    TReportWriter(bool Json, std::function<void(const QByteArray &)> Out);
    void Profile(const TVerdict &Verdict) override;
    void Device(const TVerdict &Verdict) override;
    // The same from the texts as the database keeps them, without a copy.
    void Profile(const TKeptVerdict &Verdict);
    void Device(const TKeptVerdict &Verdict);
    // The count, or the JSON object's end, and what is left to hand on.
    void Finish();
    bool HasErrors() const { return FCounts[clvError] > 0; }

private:
    char *Room(qsizetype Size);
    void Add(QByteArrayView Text);
    // A name or message: as it is in a line, as a string in JSON.
    void AddText(QByteArrayView Utf8);
    void BeginDevices();
    void AddTextLine(QByteArrayView Kind, const TKeptVerdict &Verdict);
    void AddJsonLevel(const TKeptVerdict &Verdict);
    // Hands the text on once a piece is full, or with All whatever there is.
    void Pass(bool All = false);

    bool FJson;
    std::function<void(const QByteArray &)> FOut;
    QByteArray FText;
    qsizetype FUsed = 0;
    std::size_t FProfiles = 0, FDevices = 0;
    std::size_t FCounts[3] = {};
};

QString ReportText(const TValidationReport &Report);
// The text report's last line: "3 profiles and 4 devices checked: 1 error, 1 warning".
QString CountLine(std::size_t Profiles, std::size_t Devices, std::size_t Errors, std::size_t Warnings);
QString ReportJson(const TValidationReport &Report);
