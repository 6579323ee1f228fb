#pragma once
// The site file: a whole site (system values, profiles, devices) as JSON, for
// people to write and for tools to exchange. Profile and device fields carry
// the names of HostRecords' field tables; a profile's model settings are keyed
// by their custom-data path, or the custom data is given as raw text.

#include "HostRecords.h"

#include <QByteArray>

// A site file that cannot be taken: the message names the place, as
// "profiles[2].fields.Codecs: expected an integer".
class ESiteFile : public Exception {
public:
    using Exception::Exception;
};

// The complete site the file describes, every profile and device with its
// database ID (given, or the next free one in file order). Raises ESiteFile.
TSite ReadSiteFile(const QByteArray &Json);

// Every stored value, so that reading the text back yields the same site.
// Custom data that the settings form reproduces exactly is written as
// settings, any other as raw text.
QByteArray WriteSiteFile(const TSite &Site);
