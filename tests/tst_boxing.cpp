#include "boxingmatch.h"
#include "boxingwindow.h"
#include "keymap.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(Move)
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(Result)

namespace {

constexpr int Close = 50; // every punch reaches at this distance

// The opponent stands still and does only what the test presses for it.
MatchSetup standing(int distanceCm, int roundMs = 60'000)
{
    return {roundMs, distanceCm, std::nullopt};
}

// The keys a player uses for a punch: a body blow is the hook with ↓ held.
void tapPunch(BoxingMatch &match, Side side, Move punch)
{
    if (isBodyBlow(punch))
        match.press(side, Action::Duck);
    match.press(side, punchKey(punch));
    match.release(side, punchKey(punch));
    match.release(side, Action::Duck);
}

// Throws the punch and waits exactly until it arrives.
void throwAndWait(BoxingMatch &match, Side side, Move punch)
{
    tapPunch(match, side, punch);
    match.advance(moveStats(punch).windupMs);
}

const QList<Move> allPunches{Move::LeftJab,       Move::RightStraight, Move::LeftHook, Move::RightHook,
                             Move::RightUppercut, Move::LeftBody,      Move::RightBody};

} // namespace

class TestBoxing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A punch lands up to its reach. The guard (held) covers the head; a sway
    // (tapped) avoids the straight punches, a duck the hooks, each while it
    // lasts. Only a clean hit staggers, and stops what the opponent started;
    // the hands busy with a punch, the guard is down. The puncher then
    // recovers, longer after a punch that met nothing, and any key pressed
    // before then is lost.
    void punchArrives_data()
    {
        QTest::addColumn<int>("distanceCm");
        QTest::addColumn<QList<Action>>("keys"); // the opponent's, the guard held and any other tapped
        QTest::addColumn<Move>("punch");
        QTest::addColumn<int>("arrivesAfterMs"); // after the opponent's keys
        QTest::addColumn<Outcome>("outcome");
        const auto row = [](const QByteArray &name, int distanceCm, const QList<Action> &keys, Move punch,
                            int arrivesAfterMs, Outcome outcome) {
            QTest::newRow(name.constData()) << distanceCm << keys << punch << arrivesAfterMs << outcome;
        };
        const auto dodged = [](const QList<Move> &avoided, Move punch) {
            return avoided.contains(punch) ? Outcome::Dodged : Outcome::Landed;
        };
        for (const Move punch : allPunches) {
            const int reach = moveStats(punch).reachCm, windup = moveStats(punch).windupMs;
            const QByteArray name = moveName(punch).toUtf8();
            row(name + " at its reach", reach, {}, punch, windup, Outcome::Landed);
            row(name + " 1 cm beyond", reach + 1, {}, punch, windup, Outcome::Missed);
            row("guard against " + name, Close, {Action::Guard}, punch, windup,
                isBodyBlow(punch) ? Outcome::Landed : Outcome::Guarded);
            row("sway against " + name, Close, {Action::Sway}, punch, windup,
                dodged({Move::LeftJab, Move::RightStraight}, punch));
            row("duck against " + name, Close, {Action::Duck}, punch, windup,
                dodged({Move::LeftHook, Move::RightHook}, punch));
        }
        const int lasts = moveStats(Move::Sway).activeMs, jab = moveStats(Move::LeftJab).windupMs;
        row("sway, jab in its last moment", Close, {Action::Sway}, Move::LeftJab, lasts - BoxingMatch::StepMs,
            Outcome::Dodged);
        row("sway, jab just after", Close, {Action::Sway}, Move::LeftJab, lasts, Outcome::Landed);
        row("duck, hook in its last moment", Close, {Action::Duck}, Move::LeftHook, lasts - BoxingMatch::StepMs,
            Outcome::Dodged);
        row("duck, hook just after", Close, {Action::Duck}, Move::LeftHook, lasts, Outcome::Landed);
        row("a clean hit stops a slower punch", Close, {Action::RightUppercut}, Move::LeftJab, jab, Outcome::Landed);
        row("the guard is down while punching", Close, {Action::Guard, Action::RightUppercut}, Move::LeftJab, jab,
            Outcome::Landed);
    }
    void punchArrives()
    {
        QFETCH(int, distanceCm);
        QFETCH(QList<Action>, keys);
        QFETCH(Move, punch);
        QFETCH(int, arrivesAfterMs);
        QFETCH(Outcome, outcome);
        const MoveStats &stats = moveStats(punch);
        BoxingMatch match(standing(distanceCm));
        for (const Action key : keys) {
            match.press(Side::Opponent, key);
            if (key != Action::Guard)
                match.release(Side::Opponent, key);
        }
        match.advance(arrivesAfterMs - stats.windupMs);
        throwAndWait(match, Side::Player, punch);
        const int serial = match.player().moveSerial();

        QCOMPARE(match.exchanges().size(), size_t(1));
        const Exchange &exchange = match.exchanges().front();
        QCOMPARE(exchange.punch, punch);
        QCOMPARE(exchange.outcome, outcome);
        const int lost = Rules::MaxStamina - match.opponent().stamina();
        QCOMPARE(exchange.damage, lost);
        if (outcome == Outcome::Guarded)
            QVERIFY2(lost >= 1 && lost * 3 <= stats.damage, qPrintable(QString::number(lost)));
        else
            QCOMPARE(lost, outcome == Outcome::Landed ? stats.damage : 0);
        QCOMPARE(match.opponent().move() == Move::Staggered, outcome == Outcome::Landed);

        const bool metNothing = outcome == Outcome::Missed || outcome == Outcome::Dodged;
        match.advance(stats.recoveryMs + (metNothing ? Rules::WhiffRecoveryMs : 0) - BoxingMatch::StepMs);
        tapPunch(match, Side::Player, Move::LeftJab);
        QCOMPARE(match.player().moveSerial(), serial); // ignored: still recovering
        match.advance(BoxingMatch::StepMs);
        tapPunch(match, Side::Player, Move::LeftJab);
        QCOMPARE(match.player().move(), Move::LeftJab);
        // Nothing reached the player; a guard held all along is up again after any stagger.
        match.advance(1000);
        QCOMPARE(match.player().stamina(), Rules::MaxStamina);
        QCOMPARE(match.opponent().isGuarding(), keys.contains(Action::Guard));
    }

    void punchesArrivingTogetherBothLand()
    {
        BoxingMatch match(standing(Close));
        tapPunch(match, Side::Opponent, Move::LeftJab);
        throwAndWait(match, Side::Player, Move::LeftJab);
        match.advance(1000);
        const int afterAJab = Rules::MaxStamina - moveStats(Move::LeftJab).damage;
        QCOMPARE(std::pair(match.player().stamina(), match.opponent().stamina()), std::pair(afterAJab, afterAJab));
    }

    void steps_data()
    {
        QTest::addColumn<int>("fromCm");
        QTest::addColumn<Action>("step");
        QTest::addColumn<int>("heldMs");     // 0: tapped
        QTest::addColumn<int>("jabAfterMs"); // -1: none
        QTest::addColumn<double>("toCm");
        const int stepMs = moveStats(Move::StepForward).activeMs;
        QTest::newRow("← closes in") << 120 << Action::StepForward << 0 << -1 << 100.0;
        QTest::newRow("→ backs off") << 120 << Action::StepBack << 0 << -1 << 140.0;
        QTest::newRow("← stops at arm's length") << 55 << Action::StepForward << 0 << -1 << double(Rules::ClosestCm);
        // Both fighters start centred, so at 350 cm the player's back is on the ropes.
        QTest::newRow("→ stops at the ropes") << 350 << Action::StepBack << 0 << -1 << 350.0;
        QTest::newRow("← held repeats") << 200 << Action::StepForward << 3 * stepMs - BoxingMatch::StepMs << -1
                                        << 200.0 - 3 * Rules::StepCm;
        QTest::newRow("a jab cuts a step short")
            << 120 << Action::StepForward << 0 << stepMs / 2 << 120.0 - Rules::StepCm / 2;
    }
    void steps()
    {
        QFETCH(int, fromCm);
        QFETCH(Action, step);
        QFETCH(int, heldMs);
        QFETCH(int, jabAfterMs);
        QFETCH(double, toCm);
        BoxingMatch match(standing(fromCm));
        match.press(step);
        match.advance(heldMs);
        match.release(step);
        if (jabAfterMs >= 0) {
            match.advance(jabAfterMs);
            tapPunch(match, Side::Player, Move::LeftJab);
        }
        match.advance(1000);
        QCOMPARE(match.distanceCm(), toCm);
    }

    // The keys of the diary's legend, which the game shows too; any other key does nothing.
    void keys()
    {
        QList<std::optional<Action>> actions;
        for (const int key : {Qt::Key_V, Qt::Key_B, Qt::Key_C, Qt::Key_N, Qt::Key_M, Qt::Key_Space, Qt::Key_Left,
                              Qt::Key_Up, Qt::Key_Down, Qt::Key_Right})
            actions << actionForKey(key);
        QCOMPARE(actions,
                 (QList<std::optional<Action>>{Action::LeftJab, Action::RightStraight, Action::LeftHook,
                                               Action::RightHook, Action::RightUppercut, Action::Guard,
                                               Action::StepForward, Action::Sway, Action::Duck, Action::StepBack}));
        for (const int other : {Qt::Key_A, Qt::Key_Z, Qt::Key_Return, Qt::Key_Shift})
            QVERIFY(!actionForKey(other));
        QStringList legend;
        for (const LegendEntry &entry : keyLegend())
            legend << entry.keys + u' ' + entry.name;
        QCOMPARE(legend.join(" | "),
                 QString("V 左ジャブ | B 右ストレート | C 左フック | N 右フック | M 右アッパー | ↓+C 左ボディ | "
                         "↓+N 右ボディ | Space ガード | ← 前に出る | ↑ スウェー | ↓ ダッキング | → 後ろに下がる"));
    }

    // Hits exchanged turn about, a second apart; the bell or a knockout ends
    // the bout, after which nothing counts.
    void endOfTheBout_data()
    {
        QTest::addColumn<int>("playerHits");
        QTest::addColumn<int>("opponentHits");
        QTest::addColumn<Result>("result");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing landed") << 0 << 0 << Result::Draw << "引き分け";
        QTest::newRow("even") << 2 << 2 << Result::Draw << "引き分け";
        QTest::newRow("player ahead") << 3 << 2 << Result::DecisionWin << "判定勝ち";
        QTest::newRow("opponent ahead") << 0 << 1 << Result::DecisionLoss << "判定負け";
        // Uppercuts for a knockout, jabs for the rest. Ten uppercuts of 10 take
        // all 100: the tenth, not the ninth, knocks out.
        QTest::newRow("the player knocks out") << 10 << 0 << Result::KoWin << "KO勝ち！";
        QTest::newRow("the player is knocked out") << 0 << 10 << Result::KoLoss << "KO負け";
    }
    void endOfTheBout()
    {
        QFETCH(int, playerHits);
        QFETCH(int, opponentHits);
        QFETCH(Result, result);
        QFETCH(QString, text);
        const bool knockout = result == Result::KoWin || result == Result::KoLoss;
        const Move punch = knockout ? Move::RightUppercut : Move::LeftJab;
        BoxingMatch match(standing(Close, 20'000));
        for (int i = 0; i < std::max(playerHits, opponentHits); ++i) {
            if (i < playerHits)
                throwAndWait(match, Side::Player, punch);
            match.advance(500);
            if (i < opponentHits)
                throwAndWait(match, Side::Opponent, punch);
            match.advance(500);
        }
        if (!knockout) { // the bell, not a moment early
            match.advance(match.timeLeftMs() - BoxingMatch::StepMs);
            QCOMPARE(match.result(), Result::InProgress);
            match.advance(BoxingMatch::StepMs);
        }
        QCOMPARE(match.timeLeftMs() > 0, knockout);
        QCOMPARE(match.result(), result);
        QCOMPARE(resultText(match.result()), text);
        QCOMPARE(match.exchanges().size(), size_t(playerHits + opponentHits));
        const Fighter &hit = match.fighter(result == Result::KoWin ? Side::Opponent : Side::Player);
        QCOMPARE(hit.isDown(), knockout);

        // The fighter on the canvas stays there; the clock and the punches stop.
        const auto now = [&] {
            return std::tuple(match.exchanges().size(), match.player().stamina(), match.opponent().stamina(),
                              match.elapsedMs());
        };
        const auto ended = now();
        tapPunch(match, Side::Player, Move::LeftJab);
        tapPunch(match, Side::Opponent, Move::LeftJab);
        match.advance(5000);
        QCOMPARE(now(), ended);
        QCOMPARE(hit.isDown(), knockout);
    }

    // The guard follows the key, not its repeats, and drops when another
    // window takes the keys (the release never comes). After the bell, the
    // loser's fall and the verdict the ring stands still until R.
    void window()
    {
        BoxingWindow window(300);
        window.show();
        QTest::keyPress(&window, Qt::Key_Space);
        QVERIFY(window.match().player().guardHeld());
        QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&window, &repeatRelease);
        QVERIFY(window.match().player().guardHeld());
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(&window, &focusOut);
        QVERIFY(!window.match().player().guardHeld());
        QVERIFY(window.framesRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!window.framesRunning(), 10000);
        QTest::keyClick(&window, Qt::Key_R);
        QVERIFY(window.framesRunning());
    }
};

QTEST_MAIN(TestBoxing)
#include "tst_boxing.moc"
