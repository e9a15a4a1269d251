#include "platform/pulse/PulseSources.h"

namespace platform::pulse {
namespace {

struct Query {
    PulseConnection* connection;
    CaptureSources* list;
    std::string defaultName;
};

void ServerInfoArrived(pa_context*, const pa_server_info* info, void* data) {
    auto* query = static_cast<Query*>(data);
    if (info && info->default_source_name)
        query->defaultName = info->default_source_name;
    query->connection->Signal();
}

void SourceInfoArrived(pa_context*, const pa_source_info* info, int eol, void* data) {
    auto* query = static_cast<Query*>(data);
    if (eol || !info) {
        query->connection->Signal();
        return;
    }
    SourceEntry entry{info->name ? info->name : "",
                      info->description ? info->description : (info->name ? info->name : "")};
    if (entry.name == query->defaultName)
        query->list->defaultDescription = entry.description;
    if (info->monitor_of_sink == PA_INVALID_INDEX)
        query->list->sources.push_back(std::move(entry));
}

} // namespace

SoundResult ListCaptureSources(PulseConnection& connection, CaptureSources* list) {
    *list = {};
    Query query{&connection, list, {}};
    PulseConnection::LoopLock lock(connection);
    if (!connection.Complete(
            pa_context_get_server_info(connection.Context(), ServerInfoArrived, &query)))
        return DSERR_NODRIVER;
    if (!connection.Complete(
            pa_context_get_source_info_list(connection.Context(), SourceInfoArrived, &query)))
        return DSERR_NODRIVER;
    return DS_OK;
}

SoundDeviceId DeviceIdFromName(const std::string& name) {
    // Two 64-bit FNV-1a hashes with different offsets: stable across runs and machines.
    std::uint64_t halves[2] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull};
    for (std::uint64_t& hash : halves) {
        for (unsigned char c : name) {
            hash ^= c;
            hash *= 0x100000001b3ull;
        }
    }
    SoundDeviceId id{};
    for (std::size_t i = 0; i < id.size(); ++i)
        id[i] = static_cast<std::uint8_t>(halves[i / 8] >> (8 * (i % 8)));
    if (id == DefaultSoundDevice)
        id[0] = 1;
    return id;
}

} // namespace platform::pulse
