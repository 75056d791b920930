#pragma once
// A FIT ride as a head unit records it, made in memory for the benchmarks:
// ten hours at one record a second (36,000 records with time, position,
// enhanced altitude, distance, enhanced speed, heart rate, cadence and power),
// a timer stop of five minutes every hour.

#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "base/Bytes.h"
#include "import/FitReader.h"

namespace vb::bench {

inline constexpr int kFitRideRecords = 36'000;

inline Bytes tenHourFitRide() {
    ByteWriter data;
    const auto definition = [&](std::uint8_t local, std::uint16_t global,
                                std::initializer_list<std::array<std::uint8_t, 3>> fields) {
        data.u8(static_cast<std::uint8_t>(0x40 | local));
        data.u8(0);
        data.u8(0);  // little-endian
        data.u16(global);
        data.u8(static_cast<std::uint8_t>(fields.size()));
        for (const auto& field : fields)
            for (const std::uint8_t b : field) data.u8(b);
    };
    const std::uint32_t start = 1144919700;  // 2026-04-12T09:15:00Z
    definition(0, 0, {{0, 1, 0x00}, {1, 2, 0x84}, {2, 2, 0x84}, {4, 4, 0x86}});
    data.u8(0);
    data.u8(4);  // activity
    data.u16(1);
    data.u16(3122);
    data.u32(start);
    definition(1, 21, {{253, 4, 0x86}, {0, 1, 0x00}, {1, 1, 0x00}});
    const auto timer = [&](std::uint32_t time, std::uint8_t type) {
        data.u8(1);
        data.u32(time);
        data.u8(0);
        data.u8(type);
    };
    definition(2, 20,
               {{253, 4, 0x86},
                {0, 4, 0x85},
                {1, 4, 0x85},
                {78, 4, 0x86},
                {5, 4, 0x86},
                {73, 4, 0x86},
                {3, 1, 0x02},
                {4, 1, 0x02},
                {7, 2, 0x84}});
    std::uint32_t time = start;
    double distance = 0;
    timer(time, 0);
    for (int i = 0; i < kFitRideRecords; ++i) {
        if (i > 0 && i % 3600 == 0) {
            timer(time, 4);
            time += 300;
            timer(time, 0);
        }
        const double speed = 7 + 2 * std::sin(i / 300.0);
        distance += speed;
        data.u8(2);
        data.u32(time++);
        data.i32(565138000 + 150 * i);
        data.i32(101884000 + 210 * i);
        data.u32(static_cast<std::uint32_t>((400 + 150 * std::sin(i / 900.0) + 500) * 5));
        data.u32(static_cast<std::uint32_t>(distance * 100));
        data.u32(static_cast<std::uint32_t>(speed * 1000));
        data.u8(static_cast<std::uint8_t>(120 + i % 40));
        data.u8(static_cast<std::uint8_t>(80 + i % 20));
        data.u16(static_cast<std::uint16_t>(180 + i % 90));
    }
    timer(time, 4);

    ByteWriter file;
    file.u8(14);
    file.u8(0x20);
    file.u16(21217);
    file.u32(static_cast<std::uint32_t>(data.size()));
    file.text(".FIT");
    file.u16(0);  // header crc not set
    file.bytes(data.data());
    file.u16(fitCrc(file.data()));
    return std::move(file).take();
}

}  // namespace vb::bench
