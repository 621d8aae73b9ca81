// Integers, the time of day and the date spoken by joining recorded word
// files of the letters directory ("_dois.wav", "_mil.wav", "_horas.wav").
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace morventa {

// What recorded speech asks of the speech service.
class RecordedSpeechHost {
 public:
  virtual ~RecordedSpeechHost() = default;
  // Plays an in-memory WAV image and waits until it ends or a key stops it.
  virtual void PlayImageAndWait(std::span<const uint8_t> image) = 0;
  // True while anything still sounds; a pending key stops it all.
  virtual bool IsSpeaking() = 0;
  // One wait for console events between IsSpeaking polls.
  virtual void WaitForEvents() = 0;
  // Plays a named sound: "_hora" is the letters directory's "_hora.wav".
  virtual void PlaySound(std::string_view name) = 0;
  // A word file ("_dois") joined into the image about to be played; the
  // transcript shows it as a sound played.
  virtual void NoteWordFile(std::string_view name) = 0;
  // The letters directory, Windows-1252, ending in "/".
  virtual std::string LettersDir() = 0;
};

// The Portuguese words of n, separated by blanks and written without
// accents except in the scale words ("dois mil e trezentos e quarenta",
// "um milhão"). Only the last 15 digits count; below 0 counts as 0.
std::string NumberWords(int64_t n);

// Plays the word files of words ("_" + word, 8 characters in all), joined
// into images of at most 30000 sample bytes, and waits for the end. With
// feminine set, a last "um" or "dois" is spoken "uma" or "duas".
void PlayWordFiles(RecordedSpeechHost& host, std::string_view ansi_words, bool feminine);

void SpeakNumberWords(RecordedSpeechHost& host, int64_t n, bool feminine);
void SpeakTime(RecordedSpeechHost& host, int hours, int minutes);
// month 1..12; the weekday is worked out from the date.
void SpeakDate(RecordedSpeechHost& host, int day, int month, int year);

}  // namespace morventa
