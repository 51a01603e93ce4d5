// Stages the sample workspace beside the program: character previews, backgrounds, music tracks,
// the microphone pictures, the sample bots and the link to the MP3 encoder. Every picture is
// drawn and every sound synthesised here; nothing is downloaded.
//
//   make_workspace WORKSPACE SAMPLE_FOLDER LAME_PROGRAM
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "core/mouths_manifest.h"

namespace {

QString workspace;

void ensureFolder(const QString& relative) {
    QDir().mkpath(workspace + "/" + relative);
}

bool save(const QImage& image, const QString& relative, const char* format, int quality = -1) {
    if (image.save(workspace + "/" + relative, format, quality)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(relative));
    return false;
}

// ---------------------------------------------------------------- microphone pictures

const QColor kKey(255, 0, 255);        // the mask colour: the bottom-left pixel of every picture
const QColor kPage(0xef, 0xef, 0xef);  // the page colour that anti-aliased edges blend into

QPainterPath micSilhouette() {
    QPainterPath path;
    path.addRoundedRect(QRectF(32, 4, 64, 92), 32, 30);
    path.addRect(QRectF(58, 94, 12, 20));
    path.addEllipse(QRectF(34, 110, 60, 14));
    return path;
}

QPainterPath eyelidSilhouette() {
    QPainterPath path;
    path.addEllipse(QRectF(41, 29, 20, 22));
    path.addEllipse(QRectF(67, 29, 20, 22));
    return path;
}

// Turns every pixel outside `shape` into the mask colour, so that the picture is drawn masked.
QImage keyed(const QImage& drawn, const QPainterPath& shape) {
    QImage mask(drawn.size(), QImage::Format_RGB32);
    mask.fill(Qt::black);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillPath(shape, Qt::white);
    }
    QImage out = drawn.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (mask.pixel(x, y) != qRgb(255, 255, 255)) out.setPixel(x, y, kKey.rgb());
    return out.convertToFormat(QImage::Format_RGB888);
}

void drawMicBody(QPainter& p) {
    QLinearGradient metal(32, 0, 96, 0);
    metal.setColorAt(0, QColor(120, 126, 138));
    metal.setColorAt(0.35, QColor(222, 226, 232));
    metal.setColorAt(1, QColor(110, 116, 128));
    p.setPen(QPen(QColor(60, 64, 72), 2));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(33, 5, 62, 90), 31, 29);
    // The grille.
    p.setPen(QPen(QColor(90, 96, 108, 120), 1));
    for (int y = 14; y < 90; y += 6) p.drawLine(40, y, 88, y);
    // The band and the stand.
    p.setPen(QPen(QColor(50, 54, 60), 1));
    p.setBrush(QColor(70, 76, 86));
    p.drawRect(QRectF(58, 94, 12, 19));
    p.drawEllipse(QRectF(35, 111, 58, 12));
}

void drawEyes(QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 48), 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(42, 30, 18, 20));
    p.drawEllipse(QRectF(68, 30, 18, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 120));
    p.drawEllipse(QRectF(48, 36, 9, 10));
    p.drawEllipse(QRectF(74, 36, 9, 10));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(53, 37, 3, 3));
    p.drawEllipse(QRectF(79, 37, 3, 3));
}

// The mouth shapes, one per picture 0..12, centred at (64, 72).
void drawMouth(QPainter& p, int shape) {
    const QColor lip(150, 40, 50), inside(70, 10, 20), teeth(250, 250, 245), tongue(220, 90, 100);
    const auto open = [&](QRectF r, bool upperTeeth, bool lowerTeeth, bool tongueShown) {
        p.setPen(QPen(lip, 2.5));
        p.setBrush(inside);
        p.drawEllipse(r);
        p.setPen(Qt::NoPen);
        if (tongueShown) {
            p.setBrush(tongue);
            p.drawEllipse(QRectF(r.center().x() - r.width() * 0.3, r.bottom() - r.height() * 0.45,
                                 r.width() * 0.6, r.height() * 0.4));
        }
        p.setBrush(teeth);
        if (upperTeeth)
            p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top() + 1.5, r.width() * 0.6,
                              std::max(2.5, r.height() * 0.22)));
        if (lowerTeeth)
            p.drawRect(QRectF(r.left() + r.width() * 0.25, r.bottom() - 1.5 - r.height() * 0.18,
                              r.width() * 0.5, std::max(2.0, r.height() * 0.18)));
    };
    switch (shape) {
        case 0: {  // at rest: a gentle smile
            QPainterPath smile;
            smile.moveTo(50, 70);
            smile.quadTo(64, 80, 78, 70);
            p.setPen(QPen(lip, 3, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(smile);
            break;
        }
        case 1:  // p b m: lips pressed together
            p.setPen(QPen(lip, 5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(50, 73), QPointF(78, 73));
            break;
        case 2:
            open(QRectF(58, 66, 12, 13), false, false, false);
            break;  // w uw
        case 3:
            open(QRectF(55, 65, 18, 15), false, false, false);
            break;  // r
        case 4:
            open(QRectF(50, 68, 28, 9), true, false, false);
            break;  // f v
        case 5:
            open(QRectF(50, 67, 28, 11), true, true, true);
            break;  // th dh
        case 6:
            open(QRectF(50, 64, 28, 17), true, false, true);
            break;  // l
        case 7:     // s z d t n
            open(QRectF(47, 67, 34, 11), false, false, false);
            p.setBrush(teeth);
            p.drawRect(QRectF(52, 69, 24, 7));
            p.setPen(QPen(QColor(180, 180, 175), 1));
            p.drawLine(QPointF(52, 72.5), QPointF(76, 72.5));
            break;
        case 8:  // sh ch jh zh
            p.setPen(QPen(lip, 3));
            p.setBrush(inside);
            p.drawRoundedRect(QRectF(54, 64, 20, 17), 8, 8);
            p.setPen(Qt::NoPen);
            p.setBrush(teeth);
            p.drawRect(QRectF(58, 69, 12, 7));
            break;
        case 9:
            open(QRectF(46, 66, 36, 13), true, true, false);
            break;  // ee, h, k g
        case 10:
            open(QRectF(48, 63, 32, 19), true, false, true);
            break;  // ey eh uh
        case 11:
            open(QRectF(48, 60, 32, 27), true, false, true);
            break;  // aa ae ah
        case 12:
            open(QRectF(54, 61, 20, 24), false, false, true);
            break;  // oy
    }
}

QImage micPicture(int mouth) {
    QImage image(128, 128, QImage::Format_RGB32);
    image.fill(kPage);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawMicBody(p);
    drawEyes(p);
    drawMouth(p, mouth);
    p.end();
    return keyed(image, micSilhouette());
}

// Eyelids over the eyes; everything else is the mask colour, so only the lids are drawn.
QImage eyelidPicture(bool closed) {
    QImage image(128, 128, QImage::Format_RGB32);
    image.fill(kPage);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor lid(176, 182, 192), lash(40, 40, 48);
    for (const double x : {42.0, 68.0}) {
        const QRectF eye(x - 1, 29, 20, 22);
        if (closed) {
            p.setPen(Qt::NoPen);
            p.setBrush(lid);
            p.drawEllipse(eye);
            QPainterPath lashes;
            lashes.moveTo(x + 1, 41);
            lashes.quadTo(x + 9, 47, x + 17, 41);
            p.setPen(QPen(lash, 2, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(lashes);
        } else {
            p.save();
            p.setClipRect(QRectF(x - 2, 28, 22, 12));
            p.setPen(Qt::NoPen);
            p.setBrush(lid);
            p.drawEllipse(eye);
            p.restore();
            p.setPen(QPen(lash, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(x, 40), QPointF(x + 18, 40));
        }
    }
    p.end();
    return keyed(image, eyelidSilhouette());
}

bool makeMicrophone() {
    ensureFolder("res");
    bool ok = save(micPicture(0), "res/mic.bmp", "BMP");
    for (int i = 1; i <= 12; ++i)
        ok &= save(micPicture(i), QString("res/mic_mouth_%1.bmp").arg(i + 1), "BMP");
    ok &= save(eyelidPicture(false), "res/mic_eyes_narrow.bmp", "BMP");
    ok &= save(eyelidPicture(true), "res/mic eyes closed.bmp", "BMP");
    return ok;
}

// ---------------------------------------------------------------- characters

struct Character {
    const char* name;
    QColor backdrop, skin, hair, clothes;
    bool longHair;
};

// A character; `mouth` 0..12 draws that mouth shape (the microphone's shapes), 0 the smile.
void drawCharacter(QPainter& p, const Character& c, QSizeF size, int mouth = 0) {
    const double w = size.width(), h = size.height();
    QLinearGradient back(0, 0, 0, h);
    back.setColorAt(0, c.backdrop.lighter(130));
    back.setColorAt(1, c.backdrop);
    p.fillRect(QRectF(0, 0, w, h), back);
    p.setPen(Qt::NoPen);
    if (c.longHair) {  // hair behind the head
        p.setBrush(c.hair);
        p.drawRoundedRect(QRectF(w * 0.27, h * 0.14, w * 0.46, h * 0.62), w * 0.2, w * 0.2);
    }
    p.setBrush(c.clothes);  // shoulders
    p.drawRoundedRect(QRectF(w * 0.16, h * 0.72, w * 0.68, h * 0.4), w * 0.18, w * 0.18);
    p.setBrush(c.skin);  // neck and face
    p.drawRect(QRectF(w * 0.44, h * 0.58, w * 0.12, h * 0.16));
    p.drawEllipse(QRectF(w * 0.31, h * 0.18, w * 0.38, h * 0.48));
    p.setBrush(c.hair);  // fringe
    QPainterPath fringe;
    fringe.moveTo(w * 0.30, h * 0.38);
    fringe.cubicTo(w * 0.28, h * 0.10, w * 0.72, h * 0.10, w * 0.70, h * 0.38);
    fringe.cubicTo(w * 0.62, h * 0.24, w * 0.42, h * 0.22, w * 0.30, h * 0.38);
    p.drawPath(fringe);
    p.setBrush(QColor(40, 40, 50));  // eyes
    p.drawEllipse(QRectF(w * 0.41, h * 0.37, w * 0.05, h * 0.05));
    p.drawEllipse(QRectF(w * 0.54, h * 0.37, w * 0.05, h * 0.05));
    if (mouth == 0) {
        p.setPen(QPen(QColor(160, 50, 60), w * 0.018, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath smile;
        smile.moveTo(w * 0.44, h * 0.52);
        smile.quadTo(w * 0.50, h * 0.56, w * 0.56, h * 0.52);
        p.drawPath(smile);
        return;
    }
    // The microphone's mouth shapes, moved onto the face and scaled to it.
    p.save();
    p.translate(w * 0.50, h * 0.535);
    p.scale(w / 320.0, w / 320.0);
    p.translate(-64, -73);
    drawMouth(p, mouth);
    p.restore();
}

bool makeCharacters() {
    const Character characters[] = {
        {"Anna", QColor(150, 200, 170), QColor(245, 210, 185), QColor(120, 70, 40),
         QColor(60, 140, 90), true},
        {"Ben", QColor(150, 180, 220), QColor(225, 185, 150), QColor(40, 35, 35),
         QColor(50, 90, 170), false},
        {"Clara", QColor(220, 180, 200), QColor(250, 220, 200), QColor(190, 80, 40),
         QColor(120, 70, 150), true},
    };
    bool ok = true;
    for (const Character& c : characters) {
        ensureFolder(QString("flash/chars/") + c.name);
        QImage image(240, 240, QImage::Format_RGB32);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawCharacter(p, c, image.size());
        p.end();
        ok &= save(image, QString("flash/chars/%1/preview.jpg").arg(c.name), "JPG", 90);
        // The mouth shapes for the HTML5 player: mouth/0.png (at rest) to mouth/12.png.
        ensureFolder(QString("flash/chars/%1/mouth").arg(c.name));
        for (int shape = 0; shape <= 12; ++shape) {
            QImage talking(240, 240, QImage::Format_RGB32);
            QPainter t(&talking);
            t.setRenderHint(QPainter::Antialiasing);
            drawCharacter(t, c, talking.size(), shape);
            t.end();
            ok &=
                save(talking, QString("flash/chars/%1/mouth/%2.png").arg(c.name).arg(shape), "PNG");
        }
    }
    return ok;
}

// ---------------------------------------------------------------- backgrounds

QImage background(int kind) {
    QImage image(400, 450, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (kind == 0) {  // a garden
        QLinearGradient sky(0, 0, 0, 300);
        sky.setColorAt(0, QColor(110, 170, 235));
        sky.setColorAt(1, QColor(200, 230, 250));
        p.fillRect(0, 0, 400, 300, sky);
        p.setBrush(QColor(90, 160, 80));
        p.drawRect(0, 280, 400, 170);
        uint32_t seed = 12345;
        const auto next = [&seed](int range) {
            seed = seed * 1103515245u + 12345u;
            return static_cast<double>((seed >> 16) % static_cast<uint32_t>(range));
        };
        for (int i = 0; i < 40; ++i) {
            const double x = next(400), y = 300 + next(140);
            p.setBrush(QColor::fromHsv((i * 47) % 360, 150, 250));
            p.drawEllipse(QPointF(x, y), 6, 6);
            p.setBrush(QColor(250, 220, 80));
            p.drawEllipse(QPointF(x, y), 2, 2);
        }
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawEllipse(QRectF(40, 50, 90, 30));
        p.drawEllipse(QRectF(250, 90, 110, 34));
    } else if (kind == 1) {  // an office
        p.fillRect(0, 0, 400, 450, QColor(232, 226, 214));
        p.setBrush(QColor(170, 205, 235));
        p.drawRect(230, 60, 130, 150);
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(292, 60, 6, 150);
        p.drawRect(230, 132, 130, 6);
        p.setBrush(QColor(150, 105, 70));
        p.drawRect(0, 330, 400, 24);
        p.setBrush(QColor(120, 85, 55));
        p.drawRect(20, 354, 14, 96);
        p.drawRect(366, 354, 14, 96);
        p.setBrush(QColor(60, 120, 70));
        p.drawEllipse(QRectF(40, 250, 60, 80));
        p.setBrush(QColor(180, 90, 60));
        p.drawRect(55, 300, 30, 30);
    } else {  // a beach
        QLinearGradient sky(0, 0, 0, 230);
        sky.setColorAt(0, QColor(250, 170, 110));
        sky.setColorAt(1, QColor(255, 225, 170));
        p.fillRect(0, 0, 400, 230, sky);
        p.setBrush(QColor(255, 240, 150));
        p.drawEllipse(QPointF(290, 190), 45, 45);
        p.setBrush(QColor(40, 110, 170));
        p.drawRect(0, 220, 400, 110);
        p.setBrush(QColor(235, 210, 160));
        p.drawRect(0, 320, 400, 130);
    }
    p.end();
    return image;
}

bool makeBackgrounds() {
    ensureFolder("flash/backs");
    const char* names[] = {"garden.jpg", "office.jpg", "beach.jpg"};
    bool ok = true;
    for (int i = 0; i < 3; ++i)
        ok &= save(background(i), QString("flash/backs/") + names[i], "JPG", 88);
    return ok;
}

// ---------------------------------------------------------------- music

void writeWav(const QString& path, const std::vector<int16_t>& samples, int rate) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    const auto u32 = [&](uint32_t v) { file.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](uint16_t v) { file.write(reinterpret_cast<const char*>(&v), 2); };
    const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
    file.write("RIFF", 4);
    u32(36 + bytes);
    file.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(static_cast<uint32_t>(rate));
    u32(static_cast<uint32_t>(rate) * 2);
    u16(2);
    u16(16);
    file.write("data", 4);
    u32(bytes);
    file.write(reinterpret_cast<const char*>(samples.data()), bytes);
}

// A short loop of soft plucked chords.
std::vector<int16_t> synthesise(const std::vector<std::vector<int>>& chords, double beat,
                                int rate) {
    const double pi = std::numbers::pi;
    const int notesPerChord = 4;
    const size_t total = static_cast<size_t>(chords.size() * notesPerChord * beat * rate);
    std::vector<double> mix(total + rate * 2, 0.0);
    size_t start = 0;
    for (const auto& chord : chords) {
        for (int n = 0; n < notesPerChord; ++n) {
            const int midi = chord[static_cast<size_t>(n) % chord.size()] + (n == 3 ? 12 : 0);
            const double f = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
            const size_t length = static_cast<size_t>(rate * beat * 3);
            for (size_t i = 0; i < length && start + i < mix.size(); ++i) {
                const double t = static_cast<double>(i) / rate;
                const double env = std::exp(-3.0 * t) * std::min(1.0, t * 200);
                mix[start + i] += env * (std::sin(2 * pi * f * t) + 0.3 * std::sin(4 * pi * f * t));
            }
            // The bass note of the chord.
            if (n == 0) {
                const double fb = 440.0 * std::pow(2.0, (chord[0] - 12 - 69) / 12.0);
                for (size_t i = 0; i < length * 2 && start + i < mix.size(); ++i) {
                    const double t = static_cast<double>(i) / rate;
                    mix[start + i] += 0.6 * std::exp(-1.5 * t) * std::sin(2 * pi * fb * t);
                }
            }
            start += static_cast<size_t>(beat * rate);
        }
    }
    mix.resize(total);
    std::vector<int16_t> samples(total);
    for (size_t i = 0; i < total; ++i)
        samples[i] = static_cast<int16_t>(std::clamp(mix[i] * 6000.0, -32000.0, 32000.0));
    return samples;
}

bool makeMusic(const QString& lame) {
    ensureFolder("flash/music");
    struct Track {
        const char* name;
        std::vector<std::vector<int>> chords;
        double beat;
    };
    const Track tracks[] = {
        {"calm.mp3", {{60, 64, 67, 71}, {57, 60, 64, 67}, {53, 57, 60, 64}, {55, 59, 62, 65}}, 0.5},
        {"bright.mp3", {{62, 66, 69}, {67, 71, 74}, {64, 67, 71}, {69, 73, 76}}, 0.3},
    };
    bool ok = true;
    for (const Track& track : tracks) {
        const QString mp3 = workspace + "/flash/music/" + track.name;
        if (QFile::exists(mp3)) continue;
        const QString wav = mp3 + ".wav";
        writeWav(wav, synthesise(track.chords, track.beat, 22050), 22050);
        const int code = QProcess::execute(lame, {"--quiet", "-b", "64", wav, mp3});
        QFile::remove(wav);
        if (code != 0) {
            std::fprintf(stderr, "lame failed for %s\n", track.name);
            ok = false;
        }
    }
    return ok;
}

// ---------------------------------------------------------------- bots and the encoder

// Copies each sample bot whose folder the workspace does not have yet: a bot that exists is the
// user's and stays as it is.
bool copySampleBots(const QString& sample) {
    ensureFolder("flash/bots");
    bool ok = true;
    const QDir bots(sample + "/bots");
    for (const QString& bot : bots.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = workspace + "/flash/bots/" + bot;
        if (QFileInfo::exists(target)) continue;
        QDir().mkpath(target);
        for (const QString& file : QDir(bots.filePath(bot)).entryList(QDir::Files))
            ok &= QFile::copy(bots.filePath(bot) + "/" + file, target + "/" + file);
    }
    return ok;
}

bool linkEncoder(const QString& lame) {
    const QString link = workspace + "/lame.exe";
    QFile::remove(link);
    return QFile::link(lame, link);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_workspace WORKSPACE SAMPLE_FOLDER LAME_PROGRAM\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    workspace = QString::fromLocal8Bit(argv[1]);
    const QString sample = QString::fromLocal8Bit(argv[2]);
    const QString lame = QString::fromLocal8Bit(argv[3]);

    bool ok = makeMicrophone();
    ok &= makeCharacters();
    ok &= makeBackgrounds();
    ok &= makeMusic(lame);
    ok &= copySampleBots(sample);
    ok &= linkEncoder(lame);
    // The HTML5 player learns from it which mouth pictures the characters have.
    writeMouthsManifest(workspace.toStdString() + "/flash/");
    return ok ? 0 : 1;
}
