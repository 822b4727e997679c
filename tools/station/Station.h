#pragma once
// A local stand-in for the radio service and its music site, serving a catalogue on
// 127.0.0.1 over plain HTTP.
//
// Service (at the root):
//   /j/v2/channel_info?id=ID                        channel name and cover
//   /j/v2/playlist?channel=ID&...                   the next two songs of ID's rotation
//   /j/v2/lyric?sid=SID&ssid=SSID                   time-tagged lyrics
//   /j/v2/song/<SID>g<SSID>/                        the song's page with its channel id
//   /channel/ID?start=SID                           HTML page of a shared link
//   /audio/<SID>.<ext>, /cover/<SID>.<ext>          the catalogue's files (ranges served)
// Music site (under /music):
//   /music<album_path>                              HTML album page holding "cid=ID&amp;"
// Control (never delayed, faulted or logged):
//   /_station/fault?path=P&kind=K[&value=V][&count=N]   add a fault (see Faults.h)
//   /_station/delay?ms=N                            set the delay added to every request
//   /_station/reset                                 drop faults, rotation and log
//   /_station/log                                   one line per request: METHOD TARGET STATUS [FAULT]
//
// Each channel id has its own rotation through the catalogue; it starts at the song
// whose index is |id| modulo the number of songs (0 for ids that are not integers),
// and every playlist request moves it on by one song.
//
// Threads: every public member may be called from any thread. Requests are served on
// the server's own threads; onRequest runs there too.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "station/Catalogue.h"
#include "station/Faults.h"

namespace sorvane::station {

struct RequestRecord
{
    std::string method;
    std::string target; // path and query as sent
    int status = 0; // 0 when the connection was dropped
    std::string fault; // name of the injected fault, "" for none
    std::string line() const; // "GET /j/v2/playlist?channel=1 200 [status]"
};

struct StationOptions
{
    std::chrono::milliseconds delay { 0 }; // added to every service request
    std::function<void(const RequestRecord &)> onRequest;
};

class Station
{
public:
    explicit Station(Catalogue catalogue, StationOptions options = {});
    ~Station(); // stops
    Station(const Station &) = delete;
    Station &operator=(const Station &) = delete;

    // Listens on 127.0.0.1:port (0 picks a free port) and serves on background
    // threads. False when the port cannot be bound or the station already runs.
    bool start(int port = 0);
    // Ends every pending delay at once, closes the listening socket and waits for the
    // server threads. Safe to call twice.
    void stop();

    int port() const; // 0 before start
    std::string baseUrl() const; // "http://127.0.0.1:PORT"
    std::string musicBaseUrl() const; // baseUrl() + "/music"

    void addFault(Fault fault);
    void clearFaults();
    void setDelay(std::chrono::milliseconds delay);
    // Drops faults, the channels' rotations and the request log.
    void reset();

    // Every request served since start or reset (the newest 10000), oldest first.
    std::vector<RequestRecord> requests() const;
    // Service requests that reached the station since start, those still waiting out a
    // delay included (control requests do not count; reset does not clear it).
    size_t arrivals() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace sorvane::station
