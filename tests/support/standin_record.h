// What a stand-in server recorded ($VELLOQ_STANDIN_DIR/<addr>-<port>.log): per request a line "=== REQUEST <n>
// <length> [<TLS version> sni=<name>]", then exactly <length> bytes.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct StandinRequest {
    std::string head, bytes;
};

// Oldest first. Under Wine the Unix path is reached through drive Z:.
inline std::vector<StandinRequest> StandinRequests(const std::string& addrPort) {
    const char* dir = std::getenv("VELLOQ_STANDIN_DIR");
    std::string path = std::string(dir ? dir : "") + "/" + addrPort + ".log";
    std::ifstream in(path, std::ios::binary);
    if (!in) in.open("Z:" + path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string data = all.str();
    std::vector<StandinRequest> out;
    for (std::size_t at = 0, eol; (eol = data.find('\n', at)) != std::string::npos;) {
        std::istringstream head(data.substr(at, eol - at));
        std::string marker, word;
        std::size_t number = 0, length = 0;
        head >> marker >> word >> number >> length;
        out.push_back({data.substr(at, eol - at), data.substr(eol + 1, length)});
        at = eol + 1 + length;
    }
    return out;
}
