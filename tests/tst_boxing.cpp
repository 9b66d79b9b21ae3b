#include "boxingmatch.h"
#include "boxingwindow.h"
#include "keymap.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <algorithm>
#include <array>

Q_DECLARE_METATYPE(Move)
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Side)
Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(Result)

namespace {

struct Key
{
    QList<int> keys;
    QString legendKeys;
    QString name;
    Move move;
    bool guarding = false;
};

constexpr int Close = 50; // every punch reaches at this distance

// The opponent stands still and does only what the test presses for it.
MatchSetup standing(int distanceCm, int roundMs = 60'000)
{
    MatchSetup setup;
    setup.distanceCm = distanceCm;
    setup.roundMs = roundMs;
    return setup;
}

MatchSetup sparring(quint32 seed, int distanceCm = Rules::StartDistanceCm)
{
    MatchSetup setup = standing(distanceCm);
    setup.aiSeed = seed;
    return setup;
}

// The keys a player uses for a punch: a body blow is the hook with ↓ held.
void tapPunch(BoxingMatch &match, Side side, Move punch)
{
    const bool body = isBodyBlow(punch);
    const Action hand = punchKey(punch);
    if (body)
        match.press(side, Action::Duck);
    match.press(side, hand);
    match.release(side, hand);
    if (body)
        match.release(side, Action::Duck);
}

// Throws the punch and waits exactly until it arrives.
void throwAndWait(BoxingMatch &match, Side side, Move punch)
{
    tapPunch(match, side, punch);
    match.advance(moveStats(punch).windupMs);
}

void tap(BoxingMatch &match, Side side, Action action)
{
    match.press(side, action);
    match.release(side, action);
}

const QList<Move> &allPunches()
{
    static const QList<Move> punches{Move::LeftJab,       Move::RightStraight, Move::LeftHook, Move::RightHook,
                                     Move::RightUppercut, Move::LeftBody,      Move::RightBody};
    return punches;
}

// Every exchange and where the fighters ended, to compare two bouts.
QList<std::array<int, 8>> trace(const BoxingMatch &match)
{
    QList<std::array<int, 8>> rows;
    for (const Exchange &e : match.exchanges())
        rows.append({e.atMs, int(e.attacker), int(e.punch), int(e.outcome), e.damage});
    rows.append({match.player().stamina(), match.opponent().stamina(), int(match.distanceCm())});
    return rows;
}

// A player who jabs, guards and steps on a fixed rhythm, for bouts against the AI.
void playScripted(BoxingMatch &match, int seconds)
{
    for (int tick = 0; tick < seconds * 10 && !match.isOver(); ++tick) {
        if (tick % 7 == 0)
            tapPunch(match, Side::Player, Move::LeftJab);
        if (tick % 23 == 0)
            tap(match, Side::Player, Action::StepForward);
        tick % 40 < 8 ? match.press(Action::Guard) : match.release(Action::Guard);
        match.advance(100);
    }
}

} // namespace

Q_DECLARE_METATYPE(Key)

class TestBoxing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void punchRange_data()
    {
        QTest::addColumn<Move>("punch");
        QTest::addColumn<int>("beyondReachCm");
        for (const Move punch : allPunches()) {
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

        QCOMPARE(match.exchanges().size(), size_t(1));
        QCOMPARE(match.exchanges().front().outcome, lands ? Outcome::Landed : Outcome::Missed);
        QCOMPARE(match.exchanges().front().punch, punch);
        QCOMPARE(match.opponent().stamina(), Rules::MaxStamina - (lands ? stats.damage : 0));
        QCOMPARE(match.player().stamina(), Rules::MaxStamina);

        match.advance(stats.recoveryMs + (lands ? 0 : Rules::WhiffRecoveryMs) - BoxingMatch::StepMs);
        tapPunch(match, Side::Player, Move::LeftJab);
        QCOMPARE(match.player().move(), punch);
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
        QTest::addColumn<double>("toCm");
        QTest::newRow("← closes in") << 120 << Action::StepForward << 100.0;
        QTest::newRow("→ backs off") << 120 << Action::StepBack << 140.0;
        QTest::newRow("← stops at arm's length") << 55 << Action::StepForward << double(Rules::ClosestCm);
        // Both fighters start centred, so at 350 cm the player's back is on the ropes.
        QTest::newRow("→ stops at the ropes") << 350 << Action::StepBack << 350.0;
    }

    void steps()
    {
        QFETCH(int, fromCm);
        QFETCH(Action, step);
        QFETCH(double, toCm);
        BoxingMatch match(standing(fromCm));
        tap(match, Side::Player, step);
        match.advance(1000);
        QCOMPARE(match.distanceCm(), toCm);

        // Held, the step repeats until the key comes up.
        BoxingMatch walking(standing(200));
        walking.press(Action::StepForward);
        walking.advance(3 * moveStats(Move::StepForward).activeMs - BoxingMatch::StepMs);
        walking.release(Action::StepForward);
        walking.advance(1000);
        QCOMPARE(walking.distanceCm(), 200.0 - 3 * Rules::StepCm);
    }

    void punchCutsAStepShort()
    {
        BoxingMatch match(standing(120));
        tap(match, Side::Player, Action::StepForward);
        match.advance(moveStats(Move::StepForward).activeMs / 2);
        tapPunch(match, Side::Player, Move::LeftJab);
        QCOMPARE(match.player().move(), Move::LeftJab);
        match.advance(1000);
        QCOMPARE(match.distanceCm(), 120.0 - Rules::StepCm / 2);
    }

    // The opponent, guard held or not, throws a punch as the player's jab comes in.
    void punchMeetsAPunch_data()
    {
        QTest::addColumn<bool>("guardHeld");
        QTest::addColumn<Move>("punch");
        QTest::addColumn<int>("exchanges"); // a second after
        QTest::addColumn<int>("playerLost");
        const int jab = moveStats(Move::LeftJab).damage;
        QTest::newRow("a clean hit stops a slower punch") << false << Move::RightUppercut << 1 << 0;
        QTest::newRow("punches arriving together both land") << false << Move::LeftJab << 2 << jab;
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
        const QList<Move> swayedUnder{Move::LeftJab, Move::RightStraight};
        const QList<Move> duckedUnder{Move::LeftHook, Move::RightHook};
        for (const Move punch : allPunches()) {
            const int windup = moveStats(punch).windupMs;
            const QByteArray name = moveName(punch).toUtf8();
            QTest::addRow("guard against %s", name.constData())
                << Action::Guard << punch << windup << (isBodyBlow(punch) ? Outcome::Landed : Outcome::Guarded);
            QTest::addRow("sway against %s", name.constData())
                << Action::Sway << punch << windup << (swayedUnder.contains(punch) ? Outcome::Dodged : Outcome::Landed);
            QTest::addRow("duck against %s", name.constData())
                << Action::Duck << punch << windup << (duckedUnder.contains(punch) ? Outcome::Dodged : Outcome::Landed);
        }
        const int lasts = moveStats(Move::Sway).activeMs;
        const int lastMoment = lasts - BoxingMatch::StepMs;
        QTest::newRow("sway, jab in its last moment") << Action::Sway << Move::LeftJab << lastMoment << Outcome::Dodged;
        QTest::newRow("sway, jab just after") << Action::Sway << Move::LeftJab << lasts << Outcome::Landed;
        QTest::newRow("duck, hook in its last moment")
            << Action::Duck << Move::LeftHook << lastMoment << Outcome::Dodged;
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

    void legendKeys_data()
    {
        QTest::addColumn<Key>("key");
        const Key keys[] = {{{Qt::Key_V}, "V", "左ジャブ", Move::LeftJab},
                            {{Qt::Key_B}, "B", "右ストレート", Move::RightStraight},
                            {{Qt::Key_C}, "C", "左フック", Move::LeftHook},
                            {{Qt::Key_N}, "N", "右フック", Move::RightHook},
                            {{Qt::Key_M}, "M", "右アッパー", Move::RightUppercut},
                            {{Qt::Key_Space}, "Space", "ガード", Move::Idle, true},
                            {{Qt::Key_Left}, "←", "前に出る", Move::StepForward},
                            {{Qt::Key_Up}, "↑", "スウェー", Move::Sway},
                            {{Qt::Key_Down}, "↓", "ダッキング", Move::Duck},
                            {{Qt::Key_Right}, "→", "後ろに下がる", Move::StepBack},
                            {{Qt::Key_Down, Qt::Key_C}, "↓+C", "左ボディ", Move::LeftBody},
                            {{Qt::Key_Down, Qt::Key_N}, "↓+N", "右ボディ", Move::RightBody}};
        for (const Key &key : keys)
            QTest::addRow("%s", qPrintable(key.legendKeys)) << key;
        // Any other key does nothing and has no place in the legend.
        for (const int other : {Qt::Key_A, Qt::Key_X, Qt::Key_Z, Qt::Key_Return, Qt::Key_Shift, Qt::Key_Escape})
            QTest::addRow("other key %x", other) << Key{{other}, {}, {}, Move::Idle};
    }

    void legendKeys()
    {
        QFETCH(Key, key);
        const auto [keys, legendKeys, name, move, guarding] = key;
        BoxingMatch match;
        for (const int key : keys) {
            const std::optional<Action> action = actionForKey(key);
            QCOMPARE(action.has_value(), !legendKeys.isEmpty());
            if (action)
                match.press(*action);
        }
        match.advance(BoxingMatch::StepMs);
        QCOMPARE(match.player().move(), move);
        QCOMPARE(match.player().isGuarding(), guarding);

        // The game shows the same legend as the diary.
        const QList<LegendEntry> &legend = keyLegend();
        const auto entry = std::find_if(legend.cbegin(), legend.cend(),
                                        [&](const LegendEntry &row) { return row.keys == legendKeys; });
        QCOMPARE(entry != legend.cend(), !legendKeys.isEmpty());
        if (entry != legend.cend())
            QCOMPARE(entry->name, name);
        QCOMPARE(legend.size(), 12);
    }

    void bellDecides_data()
    {
        QTest::addColumn<int>("playerJabs");
        QTest::addColumn<int>("opponentJabs");
        QTest::addColumn<Result>("result");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing landed") << 0 << 0 << Result::Draw << "引き分け";
        QTest::newRow("even") << 2 << 2 << Result::Draw << "引き分け";
        QTest::newRow("player ahead") << 3 << 2 << Result::DecisionWin << "判定勝ち";
        QTest::newRow("opponent ahead") << 0 << 1 << Result::DecisionLoss << "判定負け";
    }

    void bellDecides()
    {
        QFETCH(int, playerJabs);
        QFETCH(int, opponentJabs);
        QFETCH(Result, result);
        QFETCH(QString, text);
        const int roundMs = 10'000;
        BoxingMatch match(standing(Close, roundMs));
        for (int i = 0; i < std::max(playerJabs, opponentJabs); ++i) {
            if (i < playerJabs)
                throwAndWait(match, Side::Player, Move::LeftJab);
            match.advance(500);
            if (i < opponentJabs)
                throwAndWait(match, Side::Opponent, Move::LeftJab);
            match.advance(500);
        }
        match.advance(match.timeLeftMs() - BoxingMatch::StepMs);
        QVERIFY(!match.isOver());
        QCOMPARE(match.result(), Result::InProgress);

        match.advance(BoxingMatch::StepMs);
        QVERIFY(match.isOver());
        QCOMPARE(match.timeLeftMs(), 0);
        QCOMPARE(match.result(), result);
        QCOMPARE(resultText(match.result()), text);

        // After the bell nothing counts any more.
        const int stamina = match.opponent().stamina();
        throwAndWait(match, Side::Player, Move::LeftJab);
        match.advance(5000);
        QCOMPARE(match.opponent().stamina(), stamina);
        QCOMPARE(match.elapsedMs(), roundMs);
    }

    void knockout_data()
    {
        QTest::addColumn<Side>("puncher");
        QTest::addColumn<Result>("result");
        QTest::addColumn<QString>("text");
        QTest::newRow("the player knocks out") << Side::Player << Result::KoWin << "KO勝ち！";
        QTest::newRow("the player is knocked out") << Side::Opponent << Result::KoLoss << "KO負け";
    }

    void knockout()
    {
        QFETCH(Side, puncher);
        QFETCH(Result, result);
        QFETCH(QString, text);
        const Side target = puncher == Side::Player ? Side::Opponent : Side::Player;
        BoxingMatch match(standing(Close));
        int thrown = 0;
        while (!match.isOver() && thrown < 100) {
            throwAndWait(match, puncher, Move::RightUppercut);
            ++thrown;
            match.advance(1000);
        }
        const int uppercut = moveStats(Move::RightUppercut).damage;
        QCOMPARE(thrown, (Rules::MaxStamina + uppercut - 1) / uppercut);
        QCOMPARE(match.result(), result);
        QCOMPARE(resultText(match.result()), text);
        QCOMPARE(match.fighter(target).stamina(), 0);
        QVERIFY(match.fighter(target).isDown());
        QVERIFY(match.timeLeftMs() > 0); // the knockout, not the bell, ended it

        // The fighter on the canvas stays there: no more moves, no more punches.
        const size_t exchanges = match.exchanges().size();
        const int elapsed = match.elapsedMs();
        tapPunch(match, target, Move::LeftJab);
        tapPunch(match, puncher, Move::LeftJab);
        match.advance(5000);
        QVERIFY(match.fighter(target).isDown());
        QCOMPARE(match.exchanges().size(), exchanges);
        QCOMPARE(match.elapsedMs(), elapsed);
    }

    void opponentIsDeterministic()
    {
        BoxingMatch first(sparring(7));
        BoxingMatch again(sparring(7));
        BoxingMatch other(sparring(8));
        playScripted(first, 30);
        playScripted(again, 30);
        playScripted(other, 30);
        QVERIFY(first.exchanges().size() > 10);
        QCOMPARE(trace(again), trace(first));
        QVERIFY(trace(other) != trace(first));
    }

    void opponentBoxes_data()
    {
        QTest::addColumn<quint32>("seed");
        for (const quint32 seed : {1u, 2u, 3u, 2024u})
            QTest::addRow("seed %u", seed) << seed;
    }

    void opponentBoxes()
    {
        QFETCH(quint32, seed);
        // From across the ring the opponent comes to the player.
        BoxingMatch match(sparring(seed, 250));
        match.advance(5000);
        QVERIFY2(match.distanceCm() <= moveStats(Move::LeftJab).reachCm,
                 qPrintable(QString::number(match.distanceCm())));

        // Against the player's steady jab it attacks, guards, dodges and backs off.
        bool guarded = false;
        bool steppedBack = false;
        for (int tick = 0; tick < 300 && !match.isOver(); ++tick) {
            if (tick % 6 == 0)
                tapPunch(match, Side::Player, Move::LeftJab);
            guarded |= match.opponent().isGuarding();
            steppedBack |= match.opponent().move() == Move::StepBack;
            match.advance(100);
        }
        int opponentLanded = 0;
        int jabsDodged = 0; // it only dodges what it sees coming
        for (const Exchange &e : match.exchanges()) {
            opponentLanded += e.attacker == Side::Opponent && e.outcome == Outcome::Landed;
            jabsDodged += e.attacker == Side::Player && e.outcome == Outcome::Dodged;
        }
        QVERIFY(opponentLanded > 0);
        QVERIFY(match.player().stamina() < Rules::MaxStamina);
        QVERIFY(jabsDodged > 0);
        QVERIFY(guarded);
        QVERIFY(steppedBack);
    }

    void opponentGoesToTheBodyAgainstAGuard()
    {
        BoxingMatch match(sparring(11, Close));
        match.press(Action::Guard);
        match.advance(30'000);
        int bodyBlows = 0;
        int headShots = 0;
        for (const Exchange &e : match.exchanges())
            (isBodyBlow(e.punch) ? bodyBlows : headShots) += e.attacker == Side::Opponent;
        QVERIFY2(bodyBlows * 3 > headShots,
                 qPrintable(QStringLiteral("%1 body, %2 head").arg(bodyBlows).arg(headShots)));
        QVERIFY(match.player().stamina() < Rules::MaxStamina);
    }

    void framesStopUnderTheVerdict()
    {
        BoxingWindow window(300);
        window.show();
        QVERIFY(window.framesRunning());
        // The bell, the loser's fall and the verdict: then the ring stands still.
        QTRY_VERIFY_WITH_TIMEOUT(!window.framesRunning(), 10000);
        QTest::keyClick(&window, Qt::Key_R);
        QVERIFY(window.framesRunning());
    }

    void guardFollowsTheKeyNotItsRepeats()
    {
        BoxingWindow window(60000);
        window.show();
        QTest::keyPress(&window, Qt::Key_Space);
        QVERIFY(window.match().player().guardHeld());
        // A held key repeats as releases and presses; the guard stays up.
        QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&window, &repeatRelease);
        QVERIFY(window.match().player().guardHeld());
        // Another window takes the keys: the release never comes, the guard goes down.
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(&window, &focusOut);
        QVERIFY(!window.match().player().guardHeld());
        // A key that does nothing in the ring leaves the match alone.
        QTest::keyClick(&window, Qt::Key_Q);
        QVERIFY(!window.match().player().guardHeld());
    }
};

QTEST_MAIN(TestBoxing)
#include "tst_boxing.moc"
