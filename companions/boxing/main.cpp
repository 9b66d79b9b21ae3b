#include "boxingwindow.h"
#include "japanese.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>

#include <cstdio>

namespace {

constexpr int ShortestRoundSeconds = 10;
constexpr int LongestRoundSeconds = 300;

// The round's length in seconds, or 0 when the option is not a whole number in range.
int roundSeconds(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    bool ok = false;
    const int seconds = parser.value(option).toInt(&ok);
    return ok && seconds >= ShortestRoundSeconds && seconds <= LongestRoundSeconds ? seconds : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trimbo_flash"));
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP")));
    useJapanese();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("トリンボのボクシング：コンピューターを相手に 1 ラウンドのスパーリング"));
    parser.addHelpOption();
    const QCommandLineOption roundOption(
        QStringLiteral("round"),
        QStringLiteral("ラウンドの長さ（秒、%1〜%2、既定 60）").arg(ShortestRoundSeconds).arg(LongestRoundSeconds),
        QStringLiteral("秒"), QStringLiteral("60"));
    parser.addOption(roundOption);
    parser.process(app);

    const int seconds = roundSeconds(parser, roundOption);
    if (seconds == 0) {
        const QString problem = QStringLiteral("--round には %1 から %2 までの秒数を指定してください。")
                                    .arg(ShortestRoundSeconds)
                                    .arg(LongestRoundSeconds);
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 2;
    }

    BoxingWindow window(seconds * 1000);
    window.show();
    return QApplication::exec();
}
