#include "sim/install_sounds.h"

#include <cmath>
#include <string>

#include "base/text.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/file.h"
#include "platform/storage/registry.h"

namespace sim {
namespace {

constexpr uint32_t kSampleRate = 8000;
constexpr double kPi = 3.14159265358979323846;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}
void PutText(std::vector<uint8_t>& out, const char* text) { out.insert(out.end(), text, text + 4); }

// A sound file the phone starts with.
struct SoundFile {
    const char16_t* path;     // device path
    std::vector<Tone> tones;  // a wave file's tones
    std::vector<uint8_t> notes;  // a MIDI file's notes
    const char* placeholder;  // the text of a placeholder file (.wma, .mp3)
};

const std::vector<SoundFile>& SoundFiles() {
    static const std::vector<SoundFile> files = {
        {u"\\Windows\\Alarm1.wav", {{880, 150}, {0, 80}, {880, 150}, {0, 80}, {880, 300}}, {}, nullptr},
        {u"\\Windows\\Alarm2.wav", {{660, 200}, {990, 200}, {660, 200}, {990, 200}}, {}, nullptr},
        {u"\\Windows\\Alarm3.wav", {{1200, 100}, {0, 50}, {1200, 100}, {0, 50}, {1200, 100}, {0, 300}, {1200, 300}}, {}, nullptr},
        {u"\\Windows\\Beep.wav", {{1000, 120}}, {}, nullptr},
        {u"\\Windows\\Infbeg.wav", {{523, 120}, {784, 180}}, {}, nullptr},
        {u"\\Windows\\Infend.wav", {{784, 120}, {523, 180}}, {}, nullptr},
        {u"\\Windows\\Notify.wav", {{698, 150}, {880, 150}, {1047, 250}}, {}, nullptr},
        {u"\\Windows\\Reminder.wav", {{1047, 200}, {0, 100}, {784, 200}, {0, 100}, {1047, 400}}, {}, nullptr},
        {u"\\Windows\\Windows Default.wav", {{440, 250}}, {}, nullptr},
        {u"\\Windows\\Windows Notify.wav", {{587, 150}, {740, 250}}, {}, nullptr},
        {u"\\Windows\\Tones.mid", {}, {72, 76, 79, 84, 0, 84, 79, 76, 72}, nullptr},
        {u"\\Windows\\Chimes.wma", {}, {}, "WMA placeholder: Chimes"},
        {u"\\Windows\\Rings\\Ring-Classic.wav",
         {{1300, 40}, {1000, 40}, {1300, 40}, {1000, 40}, {1300, 40}, {1000, 40}, {1300, 40}, {1000, 40}, {0, 400},
          {1300, 40}, {1000, 40}, {1300, 40}, {1000, 40}, {1300, 40}, {1000, 40}, {1300, 40}, {1000, 40}},
         {}, nullptr},
        {u"\\Windows\\Rings\\Ring-Digital.wav", {{1400, 100}, {0, 50}, {1400, 100}, {0, 50}, {1400, 100}, {0, 400}, {1400, 100}, {0, 50}, {1400, 100}}, {}, nullptr},
        {u"\\Windows\\Rings\\Ring-Melody.wav", {{523, 200}, {659, 200}, {784, 200}, {1047, 400}, {784, 200}, {1047, 600}}, {}, nullptr},
        {u"\\Windows\\Rings\\Ring-Pulse.wav", {{800, 300}, {0, 200}, {800, 300}, {0, 200}, {800, 300}}, {}, nullptr},
        {u"\\Windows\\Rings\\Dance.mid", {}, {60, 64, 67, 72, 67, 64, 60, 0, 62, 65, 69, 74}, nullptr},
        {u"\\Windows\\Rings\\Jazz.wma", {}, {}, "WMA placeholder: Jazz"},
        {u"\\Windows\\Rings\\Pop.mp3", {}, {}, "ID3 placeholder: Pop"},
    };
    return files;
}

// A registry value of the sounds panel.
struct SoundValue {
    const char16_t* key;   // under HKCU
    const char16_t* name;  // value name
    uint32_t dword;        // the value when text is null
    const char16_t* text;  // the value when a string
};

constexpr char16_t kVolume[] = u"ControlPanel\\Volume";
constexpr char16_t kOverrides[] = u"ControlPanel\\Notifications\\ShellOverrides";

const SoundValue kSoundValues[] = {
    {kVolume, u"Volume", 0x99999999, nullptr},
    {kVolume, u"Ringer", 0x99999999, nullptr},
    {kVolume, u"Mute", 5, nullptr},
    {kOverrides, u"Mode", 0, nullptr},
    {kOverrides, u"SavedVolume", 0x99999999, nullptr},
    {kOverrides, u"SavedRingerVolume", 0x99999999, nullptr},
    {u"ControlPanel\\SoundCategories\\Ring", u"InitVol", 3, nullptr},
    {u"ControlPanel\\Sounds\\RingTone0", u"Sound", 0, u"\\Windows\\Rings\\Ring-Digital.wav"},
    {u"ControlPanel\\Sounds\\RingTone0", u"Script", 0, u"apw3r"},
    {u"ControlPanel\\Notifications\\{C3465585-39EF-4c9b-B2A3-5558BF27BFB0}", u"Wave", 0, u"\\Windows\\Reminder.wav"},
    {u"ControlPanel\\Notifications\\{C3465585-39EF-4c9b-B2A3-5558BF27BFB0}", u"Options", 9, nullptr},
    {u"ControlPanel\\Notifications\\{3C781384-05F3-4035-A8F9-C23F19A93AF0}", u"Wave", 0, u"\\Windows\\Reminder.wav"},
    {u"ControlPanel\\Notifications\\{A877D65B-239C-47a7-9304-0D347F580408}", u"Wave", 0, u"\\Windows\\Notify.wav"},
    {u"ControlPanel\\Notifications\\{A877D65B-239C-47a7-9304-0D347F580408}", u"Options", 9, nullptr},
    {u"ControlPanel\\Notifications\\{A877D65A-239C-47a7-9304-0D347F580408}", u"Wave", 0, u"\\Windows\\Notify.wav"},
    {u"ControlPanel\\Notifications\\{A877D65A-239C-47a7-9304-0D347F580408}", u"Options", 9, nullptr},
    {u"ControlPanel\\Notifications\\{A877D660-239C-47a7-9304-0D347F580408}", u"Wave", 0, u"\\Windows\\Infbeg.wav"},
    {u"ControlPanel\\Notifications\\{A877D660-239C-47a7-9304-0D347F580408}", u"Options", 9, nullptr},
    {u"ControlPanel\\Notifications\\{15F11F90-8A5F-454c-89FC-BA9B7AAB0CAD}", u"Wave", 0, u"\\Windows\\Alarm1.wav"},
    {u"ControlPanel\\Notifications\\{15F11F90-8A5F-454c-89FC-BA9B7AAB0CAD}", u"Options", 0x40000009, nullptr},
};

bool WriteDeviceFile(std::u16string_view path, const std::vector<uint8_t>& bytes) {
    plat::File file;
    if (!file.Open(path, plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways)) return false;
    return file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// Writes a value unless the model already gave it one.
bool WriteDefault(const SoundValue& v) {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    plat::HKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyCurrentUser, v.key, &key) == 0) {
        bool exists = plat::RegQueryValue(key, v.name, &type, &data) == 0;
        plat::RegCloseKey(key);
        if (exists) return true;
    }
    if (v.text) return plat::RegWriteString(plat::kHkeyCurrentUser, v.key, v.name, v.text);
    return plat::RegWriteDword(plat::kHkeyCurrentUser, v.key, v.name, v.dword);
}

}  // namespace

std::vector<uint8_t> MakeWave(const std::vector<Tone>& tones) {
    std::vector<uint8_t> samples;
    for (const Tone& t : tones) {
        uint32_t count = t.ms * kSampleRate / 1000;
        uint32_t fade = std::min<uint32_t>(count / 2, kSampleRate / 200);  // 5 ms ramps: no clicks
        for (uint32_t i = 0; i < count; ++i) {
            double amplitude = 0;
            if (t.hertz != 0) {
                double ramp = 1.0;
                if (i < fade) ramp = static_cast<double>(i) / fade;
                else if (count - i < fade) ramp = static_cast<double>(count - i) / fade;
                amplitude = 0.6 * ramp * std::sin(2 * kPi * t.hertz * i / kSampleRate);
            }
            samples.push_back(static_cast<uint8_t>(std::lround(128 + 127 * amplitude)));
        }
    }
    std::vector<uint8_t> out;
    PutText(out, "RIFF");
    Put32(out, static_cast<uint32_t>(36 + samples.size()));
    PutText(out, "WAVE");
    PutText(out, "fmt ");
    Put32(out, 16);           // format chunk size
    Put16(out, 1);            // PCM
    Put16(out, 1);            // mono
    Put32(out, kSampleRate);  // samples per second
    Put32(out, kSampleRate);  // bytes per second
    Put16(out, 1);            // block align
    Put16(out, 8);            // bits per sample
    PutText(out, "data");
    Put32(out, static_cast<uint32_t>(samples.size()));
    out.insert(out.end(), samples.begin(), samples.end());
    if (samples.size() % 2) out.push_back(0);  // chunks are padded to even length
    return out;
}

std::vector<uint8_t> MakeMidi(const std::vector<uint8_t>& notes) {
    constexpr uint8_t kQuarter = 96;  // ticks of one note
    std::vector<uint8_t> track;
    uint8_t pending = 0;  // delta time before the next event
    for (uint8_t note : notes) {
        if (note == 0) {
            pending = static_cast<uint8_t>(pending + kQuarter);
            continue;
        }
        track.insert(track.end(), {pending, 0x90, note, 100});  // note on
        track.insert(track.end(), {kQuarter, 0x80, note, 0});   // note off after a quarter
        pending = 0;
    }
    track.insert(track.end(), {pending, 0xFF, 0x2F, 0x00});  // end of track
    std::vector<uint8_t> out;
    PutText(out, "MThd");
    PutBig32(out, 6);
    out.insert(out.end(), {0, 0, 0, 1, 0, kQuarter});  // format 0, one track, ticks per quarter
    PutText(out, "MTrk");
    PutBig32(out, static_cast<uint32_t>(track.size()));
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

bool InstallSounds(std::string* error) {
    for (const char16_t* folder : {u"\\Windows", u"\\Windows\\Rings"}) {
        if (!plat::DirectoryExists(folder) && !plat::CreateDirectory(folder)) {
            *error = "cannot create " + tlw::Utf16ToUtf8(folder) + " on the device";
            return false;
        }
    }
    for (const SoundFile& f : SoundFiles()) {
        std::vector<uint8_t> bytes;
        if (!f.tones.empty()) bytes = MakeWave(f.tones);
        else if (!f.notes.empty()) bytes = MakeMidi(f.notes);
        else bytes.assign(f.placeholder, f.placeholder + std::char_traits<char>::length(f.placeholder));
        if (!WriteDeviceFile(f.path, bytes)) {
            *error = "cannot write the sound file " + tlw::Utf16ToUtf8(f.path);
            return false;
        }
    }
    for (const SoundValue& v : kSoundValues) {
        if (!WriteDefault(v)) {
            *error = "cannot write the sound registry value " + tlw::Utf16ToUtf8(v.key) + " " + tlw::Utf16ToUtf8(v.name);
            return false;
        }
    }
    // The mixer starts at the volume the panel shows.
    uint32_t volume = 0;
    plat::RegReadDword(plat::kHkeyCurrentUser, kVolume, u"Volume", &volume);
    if (!plat::ChangeHardwareState([volume](plat::HardwareState& s) { s.waveOutVolume = volume; })) {
        *error = "cannot write the hardware state of the device";
        return false;
    }
    return true;
}

}  // namespace sim
