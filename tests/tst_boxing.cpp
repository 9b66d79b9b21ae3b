#include "boxingmatch.h"
#include "boxingwindow.h"
#include "keymap.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <algorithm>
#include <array>
#include <functional>

Q_DECLARE_METATYPE(Move)
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(Result)

namespace {

constexpr int Close = 50; // every punch reaches at this distance

// Without a seed the opponent stands still and does only what the test presses for it.
MatchSetup standing(int distanceCm, int roundMs = 60'000, std::optional<quint32> seed = {})
{
    return {roundMs, distanceCm, seed};
}

void tap(BoxingMatch &match, Side side, Action action)
{
    match.press(side, action);
    match.release(side, action);
}

// The keys a player uses for a punch: a body blow is the hook with ↓ held.
void tapPunch(BoxingMatch &match, Side side, Move punch)
{
    if (isBodyBlow(punch))
        match.press(side, Action::Duck);
    tap(match, side, punchKey(punch));
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

// Every exchange and where the fighters ended, to compare two bouts.
QList<std::array<int, 5>> trace(const BoxingMatch &match)
{
    QList<std::array<int, 5>> rows;
    for (const Exchange &e : match.exchanges())
        rows.append({e.atMs, int(e.attacker), int(e.punch), int(e.outcome), e.damage});
    rows.append({match.player().stamina(), match.opponent().stamina(), int(match.distanceCm())});
    return rows;
}

// The AI starts across the ring; after 5 s the player jabs on a steady rhythm.
BoxingMatch jabbingBout(quint32 seed, const std::function<void(const BoxingMatch &)> &watch = {})
{
    BoxingMatch match(standing(250, 60'000, seed));
    match.advance(5000);
    for (int tick = 0; tick < 300 && !match.isOver(); ++tick) {
        if (watch)
            watch(match);
        if (tick % 6 == 0)
            tapPunch(match, Side::Player, Move::LeftJab);
        match.advance(100);
    }
    return match;
}

} // namespace

class TestBoxing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void punchRange_data()
    {
        QTest::addColumn<Move>("punch");
        QTest::addColumn<int>("beyondReachCm");
        for (const Move punch : allPunches) {
            QTest::addRow("%s at its reach", qPrintable(moveName(punch))) << punch << 0;
            QTest::addRow("%s 1 cm beyond", qPrintable(moveName(punch))) << punch << 1;
        }
    }
    // A punch lands up to its reach; after it the puncher recovers, longer
    // after a miss, and any key pressed before then is lost.
    void punchRange()
    {
        QFETCH(Move, punch);
        QFETCH(int, beyondReachCm);
        const MoveStats &stats = moveStats(punch);
        const bool lands = beyondReachCm == 0;
        BoxingMatch match(standing(stats.reachCm + beyondReachCm));
        throwAndWait(match, Side::Player, punch);
        const int serial = match.player().moveSerial();
        const int damage = lands ? stats.damage : 0;
        QCOMPARE(trace(match), (QList<std::array<int, 5>>{
                                   {stats.windupMs, int(Side::Player), int(punch),
                                    int(lands ? Outcome::Landed : Outcome::Missed), damage},
                                   {Rules::MaxStamina, Rules::MaxStamina - damage, stats.reachCm + beyondReachCm}}));
        match.advance(stats.recoveryMs + (lands ? 0 : Rules::WhiffRecoveryMs) - BoxingMatch::StepMs);
        tapPunch(match, Side::Player, Move::LeftJab);
        QCOMPARE(match.player().moveSerial(), serial); // ignored: still recovering
        match.advance(BoxingMatch::StepMs);
        QCOMPARE(match.player().move(), Move::Idle);
        tapPunch(match, Side::Player, Move::LeftJab);
        QCOMPARE(match.player().move(), Move::LeftJab);
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

    // The opponent, guard held or not, throws a punch as the player's jab comes in.
    void punchMeetsAPunch_data()
    {
        QTest::addColumn<bool>("guardHeld");
        QTest::addColumn<Move>("punch");
        QTest::addColumn<int>("exchanges"); // a second after
        QTest::addColumn<int>("playerLost");
        QTest::newRow("a clean hit stops a slower punch") << false << Move::RightUppercut << 1 << 0;
        QTest::newRow("punches arriving together both land")
            << false << Move::LeftJab << 2 << moveStats(Move::LeftJab).damage;
        QTest::newRow("the guard is down while punching") << true << Move::RightUppercut << 1 << 0;
    }
    void punchMeetsAPunch()
    {
        QFETCH(bool, guardHeld);
        QFETCH(Move, punch);
        QFETCH(int, exchanges);
        QFETCH(int, playerLost);
        BoxingMatch match(standing(Close));
        if (guardHeld)
            match.press(Side::Opponent, Action::Guard);
        tapPunch(match, Side::Opponent, punch); // the guard key still held, the hands busy
        throwAndWait(match, Side::Player, Move::LeftJab);
        QCOMPARE(match.exchanges().front().outcome, Outcome::Landed);
        QCOMPARE(match.opponent().stamina(), Rules::MaxStamina - moveStats(Move::LeftJab).damage);
        match.advance(1000);
        QCOMPARE(match.exchanges().size(), size_t(exchanges));
        QCOMPARE(match.player().stamina(), Rules::MaxStamina - playerLost);

        // Once the stagger is over the guard held all along is up again.
        QCOMPARE(match.opponent().isGuarding(), guardHeld);
        throwAndWait(match, Side::Player, Move::LeftJab);
        QCOMPARE(match.exchanges().back().outcome, guardHeld ? Outcome::Guarded : Outcome::Landed);
    }

    // The guard (held) covers the head; a sway (tapped) avoids the straight
    // punches, a duck the hooks, each while it lasts.
    void defences_data()
    {
        QTest::addColumn<Action>("defence");
        QTest::addColumn<Move>("punch");
        QTest::addColumn<int>("arrivesAfterMs"); // after the defence began
        QTest::addColumn<Outcome>("outcome");
        const auto dodged = [](const QList<Move> &avoided, Move punch) {
            return avoided.contains(punch) ? Outcome::Dodged : Outcome::Landed;
        };
        for (const Move punch : allPunches) {
            const int windup = moveStats(punch).windupMs;
            const QByteArray name = moveName(punch).toUtf8();
            QTest::addRow("guard against %s", name.constData())
                << Action::Guard << punch << windup << (isBodyBlow(punch) ? Outcome::Landed : Outcome::Guarded);
            QTest::addRow("sway against %s", name.constData())
                << Action::Sway << punch << windup << dodged({Move::LeftJab, Move::RightStraight}, punch);
            QTest::addRow("duck against %s", name.constData())
                << Action::Duck << punch << windup << dodged({Move::LeftHook, Move::RightHook}, punch);
        }
        const int lasts = moveStats(Move::Sway).activeMs;
        QTest::newRow("sway, jab in its last moment")
            << Action::Sway << Move::LeftJab << lasts - BoxingMatch::StepMs << Outcome::Dodged;
        QTest::newRow("sway, jab just after") << Action::Sway << Move::LeftJab << lasts << Outcome::Landed;
        QTest::newRow("duck, hook in its last moment")
            << Action::Duck << Move::LeftHook << lasts - BoxingMatch::StepMs << Outcome::Dodged;
        QTest::newRow("duck, hook just after") << Action::Duck << Move::LeftHook << lasts << Outcome::Landed;
    }
    void defences()
    {
        QFETCH(Action, defence);
        QFETCH(Move, punch);
        QFETCH(int, arrivesAfterMs);
        QFETCH(Outcome, outcome);
        BoxingMatch match(standing(Close));
        match.press(Side::Opponent, defence);
        if (defence != Action::Guard)
            match.release(Side::Opponent, defence);
        match.advance(arrivesAfterMs - moveStats(punch).windupMs);
        throwAndWait(match, Side::Player, punch);

        QCOMPARE(match.exchanges().size(), size_t(1));
        QCOMPARE(match.exchanges().front().outcome, outcome);
        const int full = moveStats(punch).damage;
        const int lost = Rules::MaxStamina - match.opponent().stamina();
        QCOMPARE(match.exchanges().front().damage, lost);
        if (outcome == Outcome::Guarded)
            QVERIFY2(lost >= 1 && lost * 3 <= full, qPrintable(QString::number(lost)));
        else
            QCOMPARE(lost, outcome == Outcome::Landed ? full : 0);
        // Only a clean hit staggers.
        QCOMPARE(match.opponent().move() == Move::Staggered, outcome == Outcome::Landed);
    }

    // Each key of the legend does what the legend, the same as the diary's, calls it.
    void legendKeys()
    {
        // Guarding is the one key that is no move.
        const std::tuple<QList<int>, QString, QString, Move> rows[] = {
            {{Qt::Key_V}, "V", "左ジャブ", Move::LeftJab},
            {{Qt::Key_B}, "B", "右ストレート", Move::RightStraight},
            {{Qt::Key_C}, "C", "左フック", Move::LeftHook},
            {{Qt::Key_N}, "N", "右フック", Move::RightHook},
            {{Qt::Key_M}, "M", "右アッパー", Move::RightUppercut},
            {{Qt::Key_Space}, "Space", "ガード", Move::Idle},
            {{Qt::Key_Left}, "←", "前に出る", Move::StepForward},
            {{Qt::Key_Up}, "↑", "スウェー", Move::Sway},
            {{Qt::Key_Down}, "↓", "ダッキング", Move::Duck},
            {{Qt::Key_Right}, "→", "後ろに下がる", Move::StepBack},
            {{Qt::Key_Down, Qt::Key_C}, "↓+C", "左ボディ", Move::LeftBody},
            {{Qt::Key_Down, Qt::Key_N}, "↓+N", "右ボディ", Move::RightBody}};
        const QList<LegendEntry> &legend = keyLegend();
        QCOMPARE(legend.size(), qsizetype(std::size(rows)));
        for (const auto &[keys, legendKeys, name, move] : rows) {
            BoxingMatch match;
            for (const int key : keys) {
                const std::optional<Action> action = actionForKey(key);
                QVERIFY2(action, qPrintable(legendKeys));
                match.press(*action);
            }
            match.advance(BoxingMatch::StepMs);
            QVERIFY2(match.player().move() == move && match.player().isGuarding() == (move == Move::Idle),
                     qPrintable(legendKeys));
            const auto entry = std::find_if(legend.cbegin(), legend.cend(),
                                            [&](const LegendEntry &shown) { return shown.keys == legendKeys; });
            QVERIFY2(entry != legend.cend() && entry->name == name, qPrintable(legendKeys));
        }
        // Any other key does nothing.
        for (const int other : {Qt::Key_A, Qt::Key_X, Qt::Key_Z, Qt::Key_Return, Qt::Key_Shift, Qt::Key_Escape})
            QVERIFY2(!actionForKey(other), qPrintable(QString::number(other, 16)));
    }

    // Hits exchanged turn about, a second apart; the bell or a knockout ends
    // the bout, after which nothing counts.
    void endOfTheBout_data()
    {
        QTest::addColumn<Move>("punch");
        QTest::addColumn<int>("playerHits");
        QTest::addColumn<int>("opponentHits");
        QTest::addColumn<Result>("result");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing landed") << Move::LeftJab << 0 << 0 << Result::Draw << "引き分け";
        QTest::newRow("even") << Move::LeftJab << 2 << 2 << Result::Draw << "引き分け";
        QTest::newRow("player ahead") << Move::LeftJab << 3 << 2 << Result::DecisionWin << "判定勝ち";
        QTest::newRow("opponent ahead") << Move::LeftJab << 0 << 1 << Result::DecisionLoss << "判定負け";
        // Ten uppercuts of 10 take all 100: the tenth, not the ninth, knocks out.
        QTest::newRow("the player knocks out") << Move::RightUppercut << 10 << 0 << Result::KoWin << "KO勝ち！";
        QTest::newRow("the player is knocked out") << Move::RightUppercut << 0 << 10 << Result::KoLoss << "KO負け";
    }
    void endOfTheBout()
    {
        QFETCH(Move, punch);
        QFETCH(int, playerHits);
        QFETCH(int, opponentHits);
        QFETCH(Result, result);
        QFETCH(QString, text);
        BoxingMatch match(standing(Close, 20'000));
        for (int i = 0; i < std::max(playerHits, opponentHits); ++i) {
            if (i < playerHits)
                throwAndWait(match, Side::Player, punch);
            match.advance(500);
            if (i < opponentHits)
                throwAndWait(match, Side::Opponent, punch);
            match.advance(500);
        }
        const bool knockout = result == Result::KoWin || result == Result::KoLoss;
        if (knockout) {
            QVERIFY(match.timeLeftMs() > 0);
        } else {
            match.advance(match.timeLeftMs() - BoxingMatch::StepMs);
            QCOMPARE(match.result(), Result::InProgress);
            match.advance(BoxingMatch::StepMs);
            QCOMPARE(match.timeLeftMs(), 0);
        }
        QCOMPARE(match.result(), result);
        QCOMPARE(resultText(match.result()), text);
        QCOMPARE(match.exchanges().size(), size_t(playerHits + opponentHits));

        // The fighter on the canvas stays there; the clock and the punches stop.
        const Fighter &hit = match.fighter(result == Result::KoWin ? Side::Opponent : Side::Player);
        const int stamina = match.player().stamina() + match.opponent().stamina();
        const int elapsed = match.elapsedMs();
        tapPunch(match, Side::Player, Move::LeftJab);
        tapPunch(match, Side::Opponent, Move::LeftJab);
        match.advance(5000);
        QCOMPARE(match.player().stamina() + match.opponent().stamina(), stamina);
        QCOMPARE(match.exchanges().size(), size_t(playerHits + opponentHits));
        QCOMPARE(match.elapsedMs(), elapsed);
        QCOMPARE(hit.isDown(), knockout);
        QCOMPARE(hit.stamina() == 0, knockout);
    }

    void opponentBoxes_data()
    {
        QTest::addColumn<quint32>("seed");
        for (const quint32 seed : {1u, 2u, 3u, 2024u})
            QTest::addRow("seed %u", seed) << seed;
    }
    // Against the player's steady jab the opponent comes across the ring,
    // attacks, guards, dodges what it sees coming and backs off.
    void opponentBoxes()
    {
        QFETCH(quint32, seed);
        bool cameIn = false, guarded = false, steppedBack = false;
        const BoxingMatch match = jabbingBout(seed, [&](const BoxingMatch &bout) {
            cameIn |= bout.elapsedMs() == 5000 && bout.distanceCm() <= moveStats(Move::LeftJab).reachCm;
            guarded |= bout.opponent().isGuarding();
            steppedBack |= bout.opponent().move() == Move::StepBack;
        });
        int opponentLanded = 0, jabsDodged = 0;
        for (const Exchange &e : match.exchanges()) {
            opponentLanded += e.attacker == Side::Opponent && e.outcome == Outcome::Landed;
            jabsDodged += e.attacker == Side::Player && e.outcome == Outcome::Dodged;
        }
        QVERIFY(cameIn);
        QVERIFY(opponentLanded > 0);
        QVERIFY(jabsDodged > 0);
        QVERIFY(guarded);
        QVERIFY(steppedBack);
        // A seed plays the same bout every time, another seed another.
        QCOMPARE(trace(jabbingBout(seed)), trace(match));
        QVERIFY(trace(jabbingBout(seed + 1)) != trace(match));
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
