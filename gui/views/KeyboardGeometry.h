#pragma once
// The piano keyboard under the graph, laid on the graph's logarithmic
// frequency axis: c pixels per natural-log unit over the visible span, a
// semitone s = c·ln2/12, a white key k = c·ln2/7 (the seven white keys of an
// octave share its width evenly, so they are wider than seven semitones).
//
// Every note n has a line position x(n) = n·s + offset(n mod 12) + base, with
// base = c·ln(reference/fMin) − 69·s, so that the pitch of note 69 (A4) lies
// at the reference frequency (440 Hz times the MIDI frequency factor) on the
// graph's axis. The offset moves the line from the note's pitch to the key
// boundary that the drawing needs: the left edge of C and F (white keys with
// a black neighbour only above), the right edge of the other white keys, the
// middle of a black key.
namespace hm::gui {

enum KeyKind : int {
    kKeyWhiteBlackAbove = 0,  // C, F
    kKeyWhiteBetween = 1,     // D, G, A
    kKeyWhiteBlackBelow = 2,  // E, B
    kKeyBlack = 3,
};

KeyKind keyKind(int pitchClass);

struct KeyboardGeometry {
    double width = 0.0;  // pixels
    double fMin = 10.0, fMax = 22050.0;
    double reference = 440.0;  // Hz of note 69
    double c = 0.0, s = 0.0, k = 0.0, base = 0.0;
    int lowNote = 0, highNote = 0;  // visible notes, both included

    double offset(int pitchClass) const;
    // The key line of note n (see above); x of the note's pitch without the offset.
    double x(int note) const;
    double pitchX(int note) const;
    // Middle of the key as it is drawn (white keys: between their edges).
    double keyCentre(int note) const;
    double xOfFrequency(double hz) const;
    double frequencyAtX(double px) const;
    double noteFrequency(int note) const;
    // The note under a point: a black key when the point is in the upper half
    // over one, else the nearest white key (searched two notes either side of
    // the pitch estimate).
    int noteAt(double px, double py, double height) const;
};

// Geometry for a view `width` pixels wide showing fMin..fMax (clamped to a
// usable span) with note 69 at `reference` Hz.
KeyboardGeometry keyboardGeometry(double width, double fMin, double fMax, double reference);

}  // namespace hm::gui
