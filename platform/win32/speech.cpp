// Windows' voice: the system speech API (SAPI) through COM, made at the
// first announcement spoken. Where no voice can be made (no speech
// installed, COM refused) nothing is said and nothing fails.
// <windows.h> first: the speech header builds on its types.
#include <windows.h>
// clang-format off
#include <sapi.h>
// clang-format on

#include <string>

#include "desktop.h"
#include "platform/common/host_link.h"

namespace {

// Written out here, so that no GUID library is needed to link.
const CLSID kSpVoice = {
    0x96749377, 0x3391, 0x11d2, {0x9e, 0xe3, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};
const IID kISpVoice = {
    0x6c44df74, 0x72b9, 0x4992, {0xa1, 0xec, 0xef, 0x99, 0x6e, 0x04, 0x22, 0xd4}};

ISpVoice *voice;
bool tried;

void speak(const char *text) {
  if (!tried) {
    tried = true;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(com) || com == RPC_E_CHANGED_MODE)
      if (FAILED(CoCreateInstance(kSpVoice, nullptr, CLSCTX_ALL, kISpVoice,
                                  reinterpret_cast<void **>(&voice))))
        voice = nullptr;
  }
  if (voice == nullptr) return;
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (n <= 0) return;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
  // Said after what is being said, without waiting for it.
  voice->Speak(wide.c_str(), SPF_ASYNC | SPF_IS_NOT_XML, nullptr);
}

const SpeechOut kSpeechOut = {.said = nullptr, .speak = speak};

}  // namespace

void installSpeech() { platformSetSpeechOut(&kSpeechOut); }
