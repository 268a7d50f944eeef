<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>QObject</name>
    <message>
        <source>Accuracy per week</source>
        <translation>Dokładność w kolejnych tygodniach</translation>
    </message>
    <message>
        <source>Accuracy per day</source>
        <translation>Dokładność w kolejnych dniach</translation>
    </message>
    <message>
        <source>Week from Monday</source>
        <translation>Tydzień od poniedziałku</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Dzień</translation>
    </message>
</context>
<context>
    <name>vortan-check</name>
    <message>
        <source>usage: vortan-check SENT COPY [--json]   (- for standard input)</source>
        <translation>użycie: vortan-check NADANY ODBIÓR [--json]   (- czyta standardowe wejście)</translation>
    </message>
    <message>
        <source>Scores a copy of a Morse exercise against the text sent, as Vortan&apos;s Check copy
window does: the accuracy, the counts, the groups sent and copied side by side and
the errors in words, in the language of the locale.

  SENT, COPY  text files: UTF-8, UTF-16 or windows-1250, found as vortan-render
              finds them; - reads standard input
  --json      one JSON object instead, for scripts (always in English)
  --help      show this help and exit

Exit status: 0; 1 for a file that cannot be read; 2 for a wrong command line.</source>
        <translation>Ocenia odbiór ćwiczenia Morse&apos;a względem nadanego tekstu, tak jak okno sprawdzania
odbioru Vortana: dokładność, liczby, grupy nadane i odebrane obok siebie oraz błędy
opisane słowami, w języku ustawień regionalnych.

  NADANY, ODBIÓR  pliki tekstowe: UTF-8, UTF-16 lub windows-1250, rozpoznawane tak jak
                  w vortan-render; - czyta standardowe wejście
  --json          zamiast tego jeden obiekt JSON, dla skryptów (zawsze po angielsku)
  --help          pokazuje tę pomoc i kończy działanie

Kod wyjścia: 0; 1, gdy pliku nie da się odczytać; 2 przy błędnym wierszu poleceń.</translation>
    </message>
    <message>
        <source>Accuracy: %1 %</source>
        <translation>Dokładność: %1 %</translation>
    </message>
    <message>
        <source>Right %1 of %2, errors %3: wrong %4, missed %5, extra %6</source>
        <translation>Poprawnie %1 z %2, błędy %3: źle odebrane %4, pominięte %5, nadmiarowe %6</translation>
    </message>
    <message>
        <source>Sent</source>
        <translation>Nadano</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Odbiór</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>nieznana opcja %1</translation>
    </message>
    <message>
        <source>give the sent text and the copy, one of them - at most</source>
        <translation>podaj tekst nadany i odbiór, co najwyżej jeden z nich jako -</translation>
    </message>
</context>
<context>
    <name>vortan-render</name>
    <message>
        <source>writing %1: %2% (%3 of %4 MiB)</source>
        <translation>zapis %1: %2% (%3 z %4 MiB)</translation>
    </message>
    <message>
        <source>%1 needs a whole number, not &quot;%2&quot;</source>
        <translation>%1 wymaga liczby całkowitej, a nie &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 must lie between %2 and %3, not %4</source>
        <translation>%1 musi leżeć między %2 a %3, a nie %4</translation>
    </message>
    <message>
        <source>%1 must be auto, utf-8 (utf8) or windows-1250 (cp1250), not &quot;%2&quot;</source>
        <translation>%1 musi być auto, utf-8 (utf8) lub windows-1250 (cp1250), a nie &quot;%2&quot;</translation>
    </message>
    <message>
        <source>sending speed in characters per minute</source>
        <translation>szybkość nadawania w znakach na minutę</translation>
    </message>
    <message>
        <source>extra dot lengths added to every gap</source>
        <translation>długości kropki dodawane do każdej przerwy</translation>
    </message>
    <message>
        <source>tone frequency in Hz</source>
        <translation>częstotliwość tonu w Hz</translation>
    </message>
    <message>
        <source>noise level in sample steps, the tone&apos;s peak being 100</source>
        <translation>poziom szumu w krokach próbki, przy szczycie tonu 100</translation>
    </message>
    <message>
        <source>straight-key timing jitter in hundredths</source>
        <translation>nierówność klucza sztorcowego w setnych</translation>
    </message>
    <message>
        <source>unknown option &quot;%1&quot;</source>
        <translation>nieznana opcja &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 wymaga wartości</translation>
    </message>
    <message>
        <source>--settings names the file to take --preset N from; give --preset too</source>
        <translation>--settings wskazuje plik, z którego bierze się --preset N; podaj też --preset</translation>
    </message>
    <message>
        <source>give either --text or --text-file, not both</source>
        <translation>podaj --text albo --text-file, nie oba naraz</translation>
    </message>
    <message>
        <source>--encoding is for --text-file; --text is always UTF-8</source>
        <translation>--encoding dotyczy --text-file; --text jest zawsze w UTF-8</translation>
    </message>
    <message>
        <source>no text: give --text TEXT or --text-file FILE</source>
        <translation>brak tekstu: podaj --text TEKST lub --text-file PLIK</translation>
    </message>
    <message>
        <source>no output file: give --output FILE.wav</source>
        <translation>brak pliku wyjściowego: podaj --output PLIK.wav</translation>
    </message>
    <message>
        <source>%1, %2 to %3</source>
        <translation>%1, od %2 do %3</translation>
    </message>
    <message>
        <source>(default %1)</source>
        <translation>(domyślnie %1)</translation>
    </message>
    <message>
        <source>Usage: vortan-render [OPTIONS] (--text TEXT | --text-file FILE) --output FILE.wav
       vortan-render [OPTIONS] --show-settings

Renders an exercise text as Morse code into an 8-bit mono 11025 Hz WAV file, exactly as
the program&apos;s Save WAV does.

</source>
        <translation>Użycie: vortan-render [OPCJE] (--text TEKST | --text-file PLIK) --output PLIK.wav
        vortan-render [OPCJE] --show-settings

Zapisuje tekst ćwiczenia alfabetem Morse&apos;a do pliku WAV (8 bitów, mono, 11025 Hz),
dokładnie tak jak polecenie Save WAV programu.

</translation>
    </message>
    <message>
        <source>Text exceeds what a WAV file can hold (%1)</source>
        <translation>Tekst przekracza to, co zmieści plik WAV (%1)</translation>
    </message>
    <message>
        <source>Cannot open file: %1</source>
        <translation>Nie można otworzyć pliku: %1</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>standardowe wejście</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>To nie jest zwykły plik</translation>
    </message>
    <message>
        <source>standard output</source>
        <translation>standardowe wyjście</translation>
    </message>
    <message>
        <source>Try &apos;vortan-render --help&apos;.</source>
        <translation>Więcej informacji: &apos;vortan-render --help&apos;.</translation>
    </message>
    <message>
        <source>standard output is a terminal: redirect it, or give --output FILE</source>
        <translation>standardowe wyjście jest terminalem: przekieruj je albo podaj --output PLIK</translation>
    </message>
    <message>
        <source>  --rise MS          soft keying: every tone element rises and falls over MS milliseconds,
                     0 to 10 (default 0, the tone switched on and off at once)
  --qsb RATE:DEPTH   fading of the signal: RATE fades per second (0.05 to 2), DEPTH in dB
                     (0 to 30) between the 95th and the 5th percentile of its level
  --qrm OFFSET:LEVEL[:SPEED]
                     another station OFFSET Hz from the tone (-600 to 600), LEVEL dB
                     against the signal (-30 to 10), at SPEED characters per minute
                     (40 to 250; by default a speed of its own); up to three times
  --qrn RATE:LEVEL   static crashes, each under 50 ms: RATE per second (0 to 5), their
                     peak LEVEL dB against the signal (-30 to 20)
  --chirp HZ[:MS]    the tone starts HZ off at each key-down (-100 to 100) and settles
                     within MS milliseconds (1 to 500, default 30)
  --preset N         take the settings of preset N, 1 to 3, from the program&apos;s settings
                     file, as the window would use them (numbers outside a slider&apos;s range
                     go to its nearer end); the options above override them
  --settings FILE    take --preset from FILE in place of the user&apos;s settings file
  --show-settings    print the settings a rendering would use, one key=value line each,
                     and render nothing
  --seed N           start the random generator (noise) at seed N, 0 to 4294967295
                     (default 0, as when the program starts)
  --keying-seed N    seed for the straight-key jitter, in place of the milliseconds since
                     midnight UTC the program takes from the clock; fix it (and --seed) to get
                     the same file every time
  --text TEXT        the exercise text, in UTF-8
  --text-file FILE   read the exercise text from FILE; &quot;-&quot; reads standard input
  --encoding ENC     encoding of --text-file: auto (default), utf-8 or windows-1250
                     (also utf8, cp1250, in any case); auto takes a file that opens with
                     a byte-order mark as UTF-8 or UTF-16, one that is valid UTF-8 with
                     letters beyond ASCII as UTF-8, and any other as windows-1250, the
                     program&apos;s own format; it refuses one holding NUL bytes
  --output FILE      the WAV file to write, never the text file; an old file of that name
                     is replaced only once the new one is complete; &quot;-&quot; writes to standard
                     output
  -h, --help         show this help
      --version      show the version

Letters A-Z are sent as a-z; characters without a Morse code, and characters windows-1250
cannot hold, make no sound. Line breaks (LF or CR LF) count as word gaps. Options also take
the form --option=VALUE. When standard error is a terminal, a rendering that takes more
than a second shows its progress there.

Band conditions are off unless given, and the same seeds give the same conditions. Loud
stations or static can pass the 8-bit range; the samples are then held at its ends, and the
number of them is reported on standard error: lower LEVEL to avoid it.

Exit status: 0 done, 1 a file could not be read or written, 2 a wrong command line.
</source>
        <translation>  --rise MS          łagodne kluczowanie: każdy element tonu narasta i opada przez MS
                     milisekund, od 0 do 10 (domyślnie 0: bez narastania i opadania)
  --qsb TEMPO:GŁĘB   zaniki sygnału: TEMPO zaników na sekundę (od 0.05 do 2), GŁĘBokość
                     w dB (od 0 do 30) między 95. a 5. percentylem jego poziomu
  --qrm ODSTR:POZIOM[:SZYBK]
                     inna stacja ODSTRojona o tyle Hz od tonu (od -600 do 600), POZIOM
                     w dB względem sygnału (od -30 do 10), z SZYBKością w znakach na
                     minutę (od 40 do 250; domyślnie własną); do trzech razy
  --qrn TEMPO:POZIOM trzaski, każdy krótszy niż 50 ms: TEMPO na sekundę (od 0 do 5),
                     ich szczytowy POZIOM w dB względem sygnału (od -30 do 20)
  --chirp HZ[:MS]    ton zaczyna się o HZ obok przy każdym wciśnięciu klucza (od -100
                     do 100) i ustala się w ciągu MS milisekund (od 1 do 500,
                     domyślnie 30)
  --preset N         bierze ustawienia zestawu N, od 1 do 3, z pliku ustawień programu,
                     tak jak użyłoby ich okno (liczby spoza zakresu suwaka przechodzą na
                     bliższy koniec); opcje powyżej mają przed nimi pierwszeństwo
  --settings PLIK    bierze --preset z PLIKU zamiast z pliku ustawień użytkownika
  --show-settings    wypisuje ustawienia, których użyłby zapis, po jednym wierszu
                     klucz=wartość, i niczego nie zapisuje
  --seed N           uruchamia generator losowy (szum) od ziarna N, od 0 do 4294967295
                     (domyślnie 0, jak przy starcie programu)
  --keying-seed N    ziarno nierówności klucza sztorcowego zamiast milisekund od północy
                     UTC, które program bierze z zegara; ustalenie go (i --seed) daje za
                     każdym razem ten sam plik
  --text TEKST       tekst ćwiczenia, w UTF-8
  --text-file PLIK   czyta tekst ćwiczenia z PLIKU; &quot;-&quot; czyta standardowe wejście
  --encoding KOD     kodowanie --text-file: auto (domyślnie), utf-8 lub windows-1250
                     (także utf8, cp1250, wielkość liter dowolna); auto bierze plik
                     zaczynający się znacznikiem kolejności bajtów za UTF-8 lub UTF-16,
                     plik poprawny w UTF-8 i zawierający litery spoza ASCII za UTF-8,
                     a każdy inny za windows-1250, własny format programu; odrzuca plik
                     zawierający bajty NUL
  --output PLIK      plik WAV do zapisania, nigdy plik tekstu; stary plik o tej nazwie
                     zostaje zastąpiony dopiero, gdy nowy jest gotowy; &quot;-&quot; pisze na
                     standardowe wyjście
  -h, --help         wyświetla tę pomoc
      --version      wyświetla wersję

Litery A-Z są nadawane jak a-z; znaki bez kodu Morse&apos;a i znaki, których nie ma
w windows-1250, nie dają dźwięku. Podział wiersza (LF lub CR LF) liczy się jako przerwa
między słowami. Opcje przyjmują też postać --opcja=WARTOŚĆ. Gdy standardowe wyjście błędów
jest terminalem, zapis trwający dłużej niż sekundę pokazuje tam postęp.

Warunki na paśmie są wyłączone, jeśli ich nie podano, a te same ziarna dają te same
warunki. Głośne stacje lub trzaski mogą wyjść poza zakres 8 bitów; próbki są wtedy
obcinane na jego krańcach, a ich liczba trafia na standardowe wyjście błędów: by tego
uniknąć, zmniejsz POZIOM.

Kod wyjścia: 0 gotowe, 1 błąd odczytu lub zapisu pliku, 2 błędny wiersz poleceń.
</translation>
    </message>
</context>
<context>
    <name>vortan::AlignedCopyView</name>
    <message>
        <source>Sent</source>
        <translation>Nadano</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Odbiór</translation>
    </message>
</context>
<context>
    <name>vortan::BandConditionsGroup</name>
    <message>
        <source>Quiet</source>
        <translation>Cisza</translation>
    </message>
    <message>
        <source>Gentle fading</source>
        <translation>Łagodne zaniki</translation>
    </message>
    <message>
        <source>Busy band</source>
        <translation>Tłok na paśmie</translation>
    </message>
    <message>
        <source>Summer static</source>
        <translation>Letnie trzaski</translation>
    </message>
    <message>
        <source>Band conditions</source>
        <translation>Warunki na paśmie</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Własne</translation>
    </message>
    <message>
        <source>Starting point</source>
        <translation>Punkt wyjścia</translation>
    </message>
    <message>
        <source> fades/s</source>
        <translation> zaników/s</translation>
    </message>
    <message>
        <source>Fading rate in fades per second</source>
        <translation>Częstość zaników na sekundę</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Wyłączone</translation>
    </message>
    <message>
        <source> dB</source>
        <translation> dB</translation>
    </message>
    <message>
        <source>Fading depth in dB</source>
        <translation>Głębokość zaników w dB</translation>
    </message>
    <message>
        <source> /s</source>
        <translation> /s</translation>
    </message>
    <message>
        <source>Static crashes per second</source>
        <translation>Trzaski na sekundę</translation>
    </message>
    <message>
        <source>Static level in dB against the signal</source>
        <translation>Poziom trzasków w dB względem sygnału</translation>
    </message>
    <message>
        <source> Hz</source>
        <translation> Hz</translation>
    </message>
    <message>
        <source>Chirp at key-down in Hz, 0 is off</source>
        <translation>Ćwierkanie przy wciśnięciu klucza w Hz, 0 wyłącza</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>Chirp settling time in milliseconds</source>
        <translation>Czas ustalania się tonu w milisekundach</translation>
    </message>
    <message>
        <source>&amp;Starting point:</source>
        <translation>&amp;Punkt wyjścia:</translation>
    </message>
    <message>
        <source>&amp;Fading (QSB):</source>
        <translation>Zani&amp;ki (QSB):</translation>
    </message>
    <message>
        <source>Station &amp;%1 (QRM):</source>
        <translation>Stacja &amp;%1 (QRM):</translation>
    </message>
    <message>
        <source>Station %1 offset in Hz</source>
        <translation>Odstrojenie stacji %1 w Hz</translation>
    </message>
    <message>
        <source>Station %1 level in dB against the signal</source>
        <translation>Poziom stacji %1 w dB względem sygnału</translation>
    </message>
    <message>
        <source> cpm</source>
        <translation> zn/min</translation>
    </message>
    <message>
        <source>Station %1 speed in characters per minute</source>
        <translation>Tempo stacji %1 w znakach na minutę</translation>
    </message>
    <message>
        <source>own speed</source>
        <translation>własne tempo</translation>
    </message>
    <message>
        <source>S&amp;tatic (QRN):</source>
        <translation>&amp;Trzaski (QRN):</translation>
    </message>
    <message>
        <source>C&amp;hirp:</source>
        <translation>Ć&amp;wierkanie:</translation>
    </message>
    <message>
        <source>Levels are against the signal&apos;s. Above 0 dB loud stations and static may clip.</source>
        <translation>Poziomy są podane względem sygnału. Powyżej 0 dB głośne stacje i trzaski mogą być obcięte.</translation>
    </message>
    <message>
        <source>Fading, other stations, static and chirp, as on a real band</source>
        <translation>Zaniki, inne stacje, trzaski i ćwierkanie, jak na prawdziwym paśmie</translation>
    </message>
</context>
<context>
    <name>vortan::CheckCopyWindow</name>
    <message>
        <source>Check copy</source>
        <translation>Sprawdzanie odbioru</translation>
    </message>
    <message>
        <source>Your c&amp;opy:</source>
        <translation>Twój &amp;odbiór:</translation>
    </message>
    <message>
        <source>Your copy</source>
        <translation>Twój odbiór</translation>
    </message>
    <message>
        <source>Type or paste what you copied; case and spacing do not count.</source>
        <translation>Wpisz lub wklej to, co odebrałeś; wielkość liter i odstępy się nie liczą.</translation>
    </message>
    <message>
        <source>What you copied</source>
        <translation>To, co odebrałeś</translation>
    </message>
    <message>
        <source>&amp;Hide while copying</source>
        <translation>&amp;Ukryj tekst podczas odbioru</translation>
    </message>
    <message>
        <source>Hide while copying</source>
        <translation>Ukryj tekst podczas odbioru</translation>
    </message>
    <message>
        <source>Cover the exercise text until the copy is checked</source>
        <translation>Zasłoń tekst ćwiczenia do czasu sprawdzenia odbioru</translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation>&amp;Sprawdź</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Sprawdź</translation>
    </message>
    <message>
        <source>Check the copy (Ctrl+Enter)</source>
        <translation>Sprawdź odbiór (Ctrl+Enter)</translation>
    </message>
    <message>
        <source>&amp;Sent and copied, group by group:</source>
        <translation>&amp;Nadane i odebrane, grupa po grupie:</translation>
    </message>
    <message>
        <source>Sent and copied, group by group</source>
        <translation>Nadane i odebrane, grupa po grupie</translation>
    </message>
    <message>
        <source>&amp;Next set</source>
        <translation>Następny &amp;zestaw</translation>
    </message>
    <message>
        <source>Next set</source>
        <translation>Następny zestaw</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>Nothing has been sent yet: Play or Save WAV sends the text that the copy is checked against.</source>
        <translation>Jeszcze nic nie nadano: Play lub zapis WAV nadaje tekst, z którym porównuje się odbiór.</translation>
    </message>
    <message>
        <source>Accuracy: -</source>
        <translation>Dokładność: -</translation>
    </message>
    <message>
        <source>The text sent has nothing to check, so the check is not kept.</source>
        <translation>W nadanym tekście nie ma czego sprawdzać, więc wynik nie zostaje zapisany.</translation>
    </message>
    <message>
        <source>Checked again: only the first check of a text sent is kept in the history.</source>
        <translation>Sprawdzono ponownie: w historii zapisuje się tylko pierwsze sprawdzenie nadanego tekstu.</translation>
    </message>
    <message>
        <source>Kept in the history.</source>
        <translation>Zapisano w historii.</translation>
    </message>
    <message>
        <source>Take the next character set, %1</source>
        <translation>Weź następny zestaw znaków, %1</translation>
    </message>
    <message>
        <source>You have earned the next set</source>
        <translation>Zasłużyłeś na następny zestaw znaków</translation>
    </message>
    <message>
        <source>Accuracy: %1 %</source>
        <translation>Dokładność: %1 %</translation>
    </message>
    <message>
        <source>Right %1 of %2 · Errors %3: wrong %4, missed %5, extra %6</source>
        <translation>Poprawnie %1 z %2 · Błędy %3: źle odebrane %4, pominięte %5, nadmiarowe %6</translation>
    </message>
    <message>
        <source>Marks: * wrong, - missed, + extra, &gt; moved; · where nothing was sent or typed.</source>
        <translation>Znaki: * błędny, - pominięty, + nadmiarowy, &gt; przestawiony; · gdzie nic nie nadano ani nie wpisano.</translation>
    </message>
    <message>
        <source>&amp;Keep in history</source>
        <translation>Zapisz w &amp;historii</translation>
    </message>
    <message>
        <source>Try again to keep the checks the history could not take</source>
        <translation>Spróbuj ponownie zapisać sprawdzenia, których historia nie przyjęła</translation>
    </message>
    <message>
        <source>Kept in the history now.</source>
        <translation>Teraz zapisano w historii.</translation>
    </message>
    <message numerus="yes">
        <source>Not kept yet: the history could not be written. Vortan tries again every %n seconds until it can; Keep in history tries now.</source>
        <translation>
            <numerusform>Jeszcze nie zapisano: nie udało się zapisać historii. Vortan próbuje ponownie co %n sekundę, aż się uda; „Zapisz w historii” próbuje od razu.</numerusform>
            <numerusform>Jeszcze nie zapisano: nie udało się zapisać historii. Vortan próbuje ponownie co %n sekundy, aż się uda; „Zapisz w historii” próbuje od razu.</numerusform>
            <numerusform>Jeszcze nie zapisano: nie udało się zapisać historii. Vortan próbuje ponownie co %n sekund, aż się uda; „Zapisz w historii” próbuje od razu.</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Next set: %1 (adds %2)</source>
        <translation>Następny &amp;zestaw: %1 (dochodzi %2)</translation>
    </message>
    <message>
        <source>Play was stopped before the first character sounded: there is nothing to check, and nothing is kept.</source>
        <translation>Odtwarzanie zatrzymano, zanim zabrzmiał pierwszy znak: nie ma czego sprawdzać i nic nie zostaje zapisane.</translation>
    </message>
    <message>
        <source>Stopped after group %1: group %2 is not checked.</source>
        <translation>Zatrzymano po grupie %1: grupa %2 nie jest sprawdzana.</translation>
    </message>
    <message>
        <source>Stopped after group %1: groups %2-%3 are not checked.</source>
        <translation>Zatrzymano po grupie %1: grupy %2-%3 nie są sprawdzane.</translation>
    </message>
    <message>
        <source>Stopped in group %1: the rest of it is not checked.</source>
        <translation>Zatrzymano w grupie %1: jej reszta nie jest sprawdzana.</translation>
    </message>
    <message>
        <source>Stopped in group %1: the rest of it and group %2 are not checked.</source>
        <translation>Zatrzymano w grupie %1: jej reszta i grupa %2 nie są sprawdzane.</translation>
    </message>
    <message>
        <source>Stopped in group %1: the rest of it and groups %2-%3 are not checked.</source>
        <translation>Zatrzymano w grupie %1: jej reszta i grupy %2-%3 nie są sprawdzane.</translation>
    </message>
    <message>
        <source>&amp;Type along while it plays</source>
        <translation>&amp;Pisz na bieżąco podczas odtwarzania</translation>
    </message>
    <message>
        <source>Type along while it plays</source>
        <translation>Pisz na bieżąco podczas odtwarzania</translation>
    </message>
    <message>
        <source>Type each character as you recognise it while the sound plays: the check gives how long after its sound ended you typed it</source>
        <translation>Wpisuj każdy znak, gdy tylko go rozpoznasz, w trakcie odtwarzania: sprawdzenie poda, ile czasu po końcu jego dźwięku został wpisany</translation>
    </message>
    <message>
        <source>No character copied right was typed while the sound played, so none is timed.</source>
        <translation>Żaden poprawnie odebrany znak nie został wpisany w trakcie odtwarzania, więc żaden nie ma czasu.</translation>
    </message>
    <message numerus="yes">
        <source>Recognition time: median %1 ms over %n characters.</source>
        <translation>
            <numerusform>Czas rozpoznania: mediana %1 ms z %n znaku.</numerusform>
            <numerusform>Czas rozpoznania: mediana %1 ms z %n znaków.</numerusform>
            <numerusform>Czas rozpoznania: mediana %1 ms z %n znaków.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 typed before it ended</source>
        <translation>%1 wpisane przed końcem dźwięku</translation>
    </message>
    <message>
        <source>%1 %2 ms</source>
        <translation>%1 %2 ms</translation>
    </message>
    <message>
        <source>These times include your own time to press a key.</source>
        <translation>Czasy obejmują też Twój własny czas naciśnięcia klawisza.</translation>
    </message>
    <message>
        <source>Check &amp;when the sound ends</source>
        <translation>Sprawdź po &amp;końcu dźwięku</translation>
    </message>
    <message>
        <source>Check when the sound ends</source>
        <translation>Sprawdź po końcu dźwięku</translation>
    </message>
    <message>
        <source>Typing along, check the copy once the sound has ended and you have stopped typing</source>
        <translation>Przy pisaniu na bieżąco sprawdź odbiór, gdy dźwięk się skończy i przestaniesz pisać</translation>
    </message>
    <message>
        <source>Your reaction time of %1 ms, as measured, is taken off each of these times.</source>
        <translation>Od każdego z tych czasów odjęto zmierzony czas Twojej reakcji, %1 ms.</translation>
    </message>
    <message>
        <source>&amp;Measure my reaction time...</source>
        <translation>Z&amp;mierz mój czas reakcji...</translation>
    </message>
    <message numerus="yes">
        <source>Press a key at each of %n beeps: your usual time to press a key is then taken off the recognition times</source>
        <translation>
            <numerusform>Naciśnij klawisz przy %n sygnale: Twój zwykły czas naciśnięcia klawisza zostanie odjęty od czasów rozpoznania</numerusform>
            <numerusform>Naciśnij klawisz przy każdym z %n sygnałów: Twój zwykły czas naciśnięcia klawisza zostanie odjęty od czasów rozpoznania</numerusform>
            <numerusform>Naciśnij klawisz przy każdym z %n sygnałów: Twój zwykły czas naciśnięcia klawisza zostanie odjęty od czasów rozpoznania</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vortan::CheckSummary</name>
    <message>
        <source> and </source>
        <translation> i </translation>
    </message>
    <message>
        <source>Group %1: %2</source>
        <translation>Grupa %1: %2</translation>
    </message>
    <message>
        <source>group %1: %2</source>
        <translation>grupa %1: %2</translation>
    </message>
    <message>
        <source>Nothing was sent to check against.</source>
        <translation>Nie nadano nic, z czym można porównać odbiór.</translation>
    </message>
    <message numerus="yes">
        <source>Accuracy %1 per cent: %2 right of %n sent.</source>
        <translation>
            <numerusform>Dokładność %1 procent: poprawnie %2 z %n nadanego znaku.</numerusform>
            <numerusform>Dokładność %1 procent: poprawnie %2 z %n nadanych znaków.</numerusform>
            <numerusform>Dokładność %1 procent: poprawnie %2 z %n nadanych znaków.</numerusform>
        </translation>
    </message>
    <message>
        <source>No errors.</source>
        <translation>Bez błędów.</translation>
    </message>
    <message numerus="yes">
        <source>Errors: %n (%1 wrong, %2 missed, %3 extra).</source>
        <translation>
            <numerusform>%n błąd (źle odebrane: %1, pominięte: %2, nadmiarowe: %3).</numerusform>
            <numerusform>%n błędy (źle odebrane: %1, pominięte: %2, nadmiarowe: %3).</numerusform>
            <numerusform>%n błędów (źle odebrane: %1, pominięte: %2, nadmiarowe: %3).</numerusform>
        </translation>
    </message>
    <message>
        <source>Group %1 missed.</source>
        <translation>Pominięto grupę %1.</translation>
    </message>
    <message>
        <source>Groups %1 missed.</source>
        <translation>Pominięto grupy %1.</translation>
    </message>
    <message>
        <source>%1 written as %2</source>
        <translation>zamiast %1 zapisano %2</translation>
    </message>
    <message>
        <source>%1 missed</source>
        <translation>pominięto %1</translation>
    </message>
    <message>
        <source>extra %1</source>
        <translation>nadmiarowe %1</translation>
    </message>
    <message>
        <source>%1 before group 1</source>
        <translation>%1 przed grupą 1</translation>
    </message>
    <message>
        <source>%1 after group %2</source>
        <translation>%1 po grupie %2</translation>
    </message>
    <message>
        <source>Extra group: %1.</source>
        <translation>Nadmiarowa grupa: %1.</translation>
    </message>
    <message>
        <source>Extra groups: %1.</source>
        <translation>Nadmiarowe grupy: %1.</translation>
    </message>
    <message>
        <source>Group %1 written first</source>
        <translation>Grupa %1 zapisana na początku</translation>
    </message>
    <message>
        <source>group %1 written first</source>
        <translation>grupa %1 zapisana na początku</translation>
    </message>
    <message>
        <source>Group %1 written after group %2</source>
        <translation>Grupa %1 zapisana po grupie %2</translation>
    </message>
    <message>
        <source>group %1 written after group %2</source>
        <translation>grupa %1 zapisana po grupie %2</translation>
    </message>
</context>
<context>
    <name>vortan::CommandLine</name>
    <message>
        <source>value</source>
        <translation>wartość</translation>
    </message>
    <message>
        <source>Try &apos;vortan --help&apos;.</source>
        <translation>Więcej informacji: &apos;vortan --help&apos;.</translation>
    </message>
    <message>
        <source>Qt options:</source>
        <translation>Opcje Qt:</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>nieoczekiwany argument &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Wyświetla tę pomoc i kończy działanie.</translation>
    </message>
    <message>
        <source>Show this help with the Qt options and exit.</source>
        <translation>Wyświetla tę pomoc z opcjami Qt i kończy działanie.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Wyświetla wersję i kończy działanie.</translation>
    </message>
    <message>
        <source>Vortan teaches you to receive Morse code by ear: it sends exercise texts as Morse code
at the speed, tone, noise and keying you set. The settings are kept in
%1. See vortan(1).</source>
        <translation>Vortan uczy odbioru alfabetu Morse&apos;a ze słuchu: nadaje teksty ćwiczeń alfabetem Morse&apos;a
z ustawioną szybkością, tonem, szumem i kluczowaniem. Ustawienia są przechowywane
w %1. Zobacz vortan(1).</translation>
    </message>
</context>
<context>
    <name>vortan::OptionsWindow</name>
    <message>
        <source>Off</source>
        <translation>Wył.</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opcje</translation>
    </message>
    <message>
        <source>Soft keying</source>
        <translation>Łagodne kluczowanie</translation>
    </message>
    <message>
        <source>&amp;Rise and fall:</source>
        <translation>&amp;Narastanie i opadanie:</translation>
    </message>
    <message>
        <source>Rise and fall in milliseconds</source>
        <translation>Narastanie i opadanie w milisekundach</translation>
    </message>
    <message>
        <source>Every dot and dash fades in and out over this time, so that it does not click.</source>
        <translation>Każda kropka i kreska narasta i opada przez ten czas, żeby nie trzaskała.</translation>
    </message>
    <message>
        <source>Rise and fall of every dot and dash; 0 = off</source>
        <translation>Narastanie i opadanie każdej kropki i kreski; 0 = wyłączone</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Nadawanie</translation>
    </message>
    <message>
        <source>&amp;Lead-in before Play:</source>
        <translation>&amp;Dźwięk przed nadawaniem:</translation>
    </message>
    <message>
        <source>Lead-in before Play in milliseconds</source>
        <translation>Dźwięk przed nadawaniem w milisekundach</translation>
    </message>
    <message>
        <source>Quiet sound before the exercise, so that wireless headphones wake up before the first dot. Saved WAV files have none.</source>
        <translation>Cichy dźwięk przed ćwiczeniem, żeby słuchawki bezprzewodowe obudziły się przed pierwszą kropką. Zapisane pliki WAV go nie mają.</translation>
    </message>
    <message>
        <source>Quiet sound before the exercise; 0 = off</source>
        <translation>Cichy dźwięk przed ćwiczeniem; 0 = wyłączony</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Zamknij</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
</context>
<context>
    <name>vortan::PracticeAdvice</name>
    <message>
        <source> and </source>
        <translation> i </translation>
    </message>
    <message>
        <source>%1: %2 % over the last %3</source>
        <translation>%1: %2 % z ostatnich %3</translation>
    </message>
    <message>
        <source>, written as %1 1 time</source>
        <translation>, zapisany jako %1 1 raz</translation>
    </message>
    <message numerus="yes">
        <source>, written as %1 %n times</source>
        <translation>
            <numerusform>, zapisany jako %1 %n raz</numerusform>
            <numerusform>, zapisany jako %1 %n razy</numerusform>
            <numerusform>, zapisany jako %1 %n razy</numerusform>
        </translation>
    </message>
    <message>
        <source>Practise %1.</source>
        <translation>Ćwicz %1.</translation>
    </message>
    <message>
        <source>%1: not sent yet, about %2 more right</source>
        <translation>%1: jeszcze nienadany, potrzeba ok. %2 poprawnych</translation>
    </message>
    <message>
        <source>%1: now %2 %, about %3 more right</source>
        <translation>%1: teraz %2 %, potrzeba jeszcze ok. %3 poprawnych</translation>
    </message>
    <message>
        <source>A check at %1 % will offer the next set, %2, which adds %3.</source>
        <translation>Sprawdzenie z wynikiem %1 % otworzy następny zestaw, %2, który dodaje %3.</translation>
    </message>
    <message>
        <source>A check at %1 % with %2 at %1 % (%3) will offer the next set, %4, which adds %5.</source>
        <translation>Sprawdzenie z wynikiem %1 %, w którym %2 osiągną %1 % (%3), otworzy następny zestaw, %4, który dodaje %5.</translation>
    </message>
    <message>
        <source>Due for review today: %1.</source>
        <translation>Do powtórki dziś: %1.</translation>
    </message>
    <message>
        <source>Check a copy and this says what to practise.</source>
        <translation>Sprawdź odbiór, a tu pojawi się, co ćwiczyć.</translation>
    </message>
    <message>
        <source>No character with %1 or more recent samples is below %2 %.</source>
        <translation>Żaden znak z co najmniej %1 ostatnimi próbkami nie jest poniżej %2 %.</translation>
    </message>
    <message>
        <source>%1 (%2 ms)</source>
        <translation>%1 (%2 ms)</translation>
    </message>
    <message>
        <source>Slowest to recognise: %1.</source>
        <translation>Najwolniej rozpoznawane: %1.</translation>
    </message>
    <message>
        <source>%1: now %2 ms</source>
        <translation>%1: teraz %2 ms</translation>
    </message>
    <message>
        <source>%1: not timed enough yet</source>
        <translation>%1: jeszcze za mało pomiarów</translation>
    </message>
    <message>
        <source>The next set also asks %1 to be recognised within %2 ms (%3).</source>
        <translation>Następny zestaw wymaga też, by %1 rozpoznawać w ciągu %2 ms (%3).</translation>
    </message>
</context>
<context>
    <name>vortan::ProgressWindow</name>
    <message>
        <source>Accuracy, %</source>
        <translation>Dokładność, %</translation>
    </message>
    <message>
        <source>Accuracy over time</source>
        <translation>Dokładność w czasie</translation>
    </message>
    <message>
        <source>Accuracy by tempo</source>
        <translation>Dokładność według tempa</translation>
    </message>
    <message>
        <source>Transmission tempo, characters per minute</source>
        <translation>Tempo nadawania, znaki na minutę</translation>
    </message>
    <message>
        <source>The same figures are in the table below.</source>
        <translation>Te same liczby są w tabeli poniżej.</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Postępy</translation>
    </message>
    <message>
        <source>Only &amp;between</source>
        <translation>Tylko &amp;między</translation>
    </message>
    <message>
        <source>Only checks between two dates</source>
        <translation>Tylko sprawdzenia między dwiema datami</translation>
    </message>
    <message>
        <source>From date</source>
        <translation>Od dnia</translation>
    </message>
    <message>
        <source>To date, included</source>
        <translation>Do dnia włącznie</translation>
    </message>
    <message>
        <source>and</source>
        <translation>a</translation>
    </message>
    <message>
        <source>Character &amp;set:</source>
        <translation>&amp;Zestaw znaków:</translation>
    </message>
    <message>
        <source>Character set</source>
        <translation>Zestaw znaków</translation>
    </message>
    <message>
        <source>Next set &amp;at:</source>
        <translation>&amp;Następny zestaw od:</translation>
    </message>
    <message>
        <source>Accuracy that earns the next set</source>
        <translation>Dokładność, od której przysługuje następny zestaw</translation>
    </message>
    <message>
        <source>The accuracy of a check and of each new character that earns the next set</source>
        <translation>Dokładność sprawdzenia i każdego nowego znaku, od której przysługuje następny zestaw</translation>
    </message>
    <message>
        <source>Characters, weakest first</source>
        <translation>Znaki, od najsłabszego</translation>
    </message>
    <message>
        <source>Character</source>
        <translation>Znak</translation>
    </message>
    <message>
        <source>Last 50</source>
        <translation>Ostatnie 50</translation>
    </message>
    <message>
        <source>Sent</source>
        <translation>Nadano</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Dobrze</translation>
    </message>
    <message>
        <source>Wrong</source>
        <translation>Źle</translation>
    </message>
    <message>
        <source>Written as</source>
        <translation>Zapisany jako</translation>
    </message>
    <message>
        <source>Missed</source>
        <translation>Pominięty</translation>
    </message>
    <message>
        <source>Extra</source>
        <translation>Nadmiarowy</translation>
    </message>
    <message>
        <source>Confusions, most frequent first</source>
        <translation>Pomyłki, od najczęstszej</translation>
    </message>
    <message>
        <source>Times</source>
        <translation>Razy</translation>
    </message>
    <message>
        <source>Accuracy over time, chart</source>
        <translation>Dokładność w czasie, wykres</translation>
    </message>
    <message>
        <source>Accuracy over time, table</source>
        <translation>Dokładność w czasie, tabela</translation>
    </message>
    <message>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <source>Characters</source>
        <translation>Znaki</translation>
    </message>
    <message>
        <source>Accuracy</source>
        <translation>Dokładność</translation>
    </message>
    <message>
        <source>Accuracy by tempo, chart</source>
        <translation>Dokładność według tempa, wykres</translation>
    </message>
    <message>
        <source>Accuracy by tempo, table</source>
        <translation>Dokładność według tempa, tabela</translation>
    </message>
    <message>
        <source>Checks</source>
        <translation>Sprawdzenia</translation>
    </message>
    <message>
        <source>Figures</source>
        <translation>Liczby</translation>
    </message>
    <message>
        <source>C&amp;haracters</source>
        <translation>Zna&amp;ki</translation>
    </message>
    <message>
        <source>&amp;Confusions</source>
        <translation>&amp;Pomyłki</translation>
    </message>
    <message>
        <source>Accuracy over &amp;time</source>
        <translation>Dokładność w &amp;czasie</translation>
    </message>
    <message>
        <source>Accuracy by t&amp;empo</source>
        <translation>Dokładność według &amp;tempa</translation>
    </message>
    <message>
        <source>&amp;Drill weak characters</source>
        <translation>Ć&amp;wicz słabe znaki</translation>
    </message>
    <message>
        <source>Drill weak characters</source>
        <translation>Ćwicz słabe znaki</translation>
    </message>
    <message>
        <source>Put a set into the character-set box that draws weak characters more often</source>
        <translation>Wstaw do pola zestawu znaków zestaw, który częściej losuje słabe znaki</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Odśwież</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Odśwież</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>All sets</source>
        <translation>Wszystkie zestawy</translation>
    </message>
    <message>
        <source>The history could not be read.</source>
        <translation>Nie udało się odczytać historii.</translation>
    </message>
    <message>
        <source>No checks yet for this choice. Check a copy in the Check copy window and it appears here.</source>
        <translation>Brak sprawdzeń dla tego wyboru. Sprawdź odbiór w oknie sprawdzania odbioru, a pojawi się tutaj.</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 z %2</translation>
    </message>
    <message>
        <source>Drill set: %1</source>
        <translation>Zestaw do ćwiczeń: %1</translation>
    </message>
    <message numerus="yes">
        <source>Checks: %n. %1. Accuracy %2.</source>
        <translation>
            <numerusform>%n sprawdzenie, %1, dokładność %2.</numerusform>
            <numerusform>%n sprawdzenia, %1, dokładność %2.</numerusform>
            <numerusform>%n sprawdzeń, %1, dokładność %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Characters sent: %n</source>
        <translation>
            <numerusform>nadano %n znak</numerusform>
            <numerusform>nadano %n znaki</numerusform>
            <numerusform>nadano %n znaków</numerusform>
        </translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Dzień</translation>
    </message>
    <message>
        <source>Export &amp;CSV...</source>
        <translation>Eksport do CS&amp;V...</translation>
    </message>
    <message>
        <source>Write every check and every character&apos;s outcome as CSV</source>
        <translation>Zapisz każde sprawdzenie i wynik każdego znaku jako CSV</translation>
    </message>
    <message>
        <source>Export c&amp;opy...</source>
        <translation>Zapisz kop&amp;ię...</translation>
    </message>
    <message>
        <source>Write a copy of the whole history, for another machine</source>
        <translation>Zapisz kopię całej historii, na inny komputer</translation>
    </message>
    <message>
        <source>&amp;Import...</source>
        <translation>I&amp;mportuj...</translation>
    </message>
    <message>
        <source>Add the checks of another history or of its checks CSV that this one lacks</source>
        <translation>Dodaj sprawdzenia z innej historii lub z jej pliku CSV, których brakuje w tej</translation>
    </message>
    <message>
        <source>no checks</source>
        <translation>brak sprawdzeń</translation>
    </message>
    <message numerus="yes">
        <source>%1 over %n check(s)</source>
        <translation>
            <numerusform>%1 z %n sprawdzenia</numerusform>
            <numerusform>%1 z %n sprawdzeń</numerusform>
            <numerusform>%1 z %n sprawdzeń</numerusform>
        </translation>
    </message>
    <message>
        <source> Accuracy without band conditions: %1; with them: %2.</source>
        <translation> Dokładność bez warunków na paśmie: %1; z nimi: %2.</translation>
    </message>
    <message>
        <source>Week of</source>
        <translation>Tydzień od</translation>
    </message>
    <message>
        <source>Exported to %1 and %2.</source>
        <translation>Wyeksportowano do %1 i %2.</translation>
    </message>
    <message>
        <source>The history was copied to %1.</source>
        <translation>Historię skopiowano do %1.</translation>
    </message>
    <message>
        <source>Nothing was imported.</source>
        <translation>Nic nie zaimportowano.</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Eksport do CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Pliki CSV (*.csv)</translation>
    </message>
    <message>
        <source>Export copy</source>
        <translation>Zapisz kopię</translation>
    </message>
    <message>
        <source>History files (*.sqlite)</source>
        <translation>Pliki historii (*.sqlite)</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>History files or checks CSV (*.sqlite *.csv);;All files (*)</source>
        <translation>Pliki historii lub CSV sprawdzeń (*.sqlite *.csv);;Wszystkie pliki (*)</translation>
    </message>
    <message numerus="yes">
        <source>Checks added from %1: %n.</source>
        <translation>
            <numerusform>Dodano %n sprawdzenie z %1.</numerusform>
            <numerusform>Dodano %n sprawdzenia z %1.</numerusform>
            <numerusform>Dodano %n sprawdzeń z %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Recognition time per check</source>
        <translation>Czas rozpoznania w każdym sprawdzeniu</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Sprawdzenie</translation>
    </message>
    <message>
        <source>Median, ms</source>
        <translation>Mediana, ms</translation>
    </message>
    <message>
        <source>Recognition time over time</source>
        <translation>Czas rozpoznania w czasie</translation>
    </message>
    <message>
        <source>and recognised &amp;within</source>
        <translation>i &amp;rozpoznawane w ciągu</translation>
    </message>
    <message>
        <source>Also ask that each new character&apos;s median recognition time, typed along, is under this time</source>
        <translation>Wymagaj też, by mediana czasu rozpoznania każdego nowego znaku, pisanego na bieżąco, była krótsza niż ten czas</translation>
    </message>
    <message>
        <source>Recognition time that earns the next set</source>
        <translation>Czas rozpoznania, który daje następny zestaw</translation>
    </message>
    <message>
        <source>Recognition</source>
        <translation>Rozpoznanie</translation>
    </message>
    <message>
        <source>Recognition time over time, chart</source>
        <translation>Czas rozpoznania w czasie, wykres</translation>
    </message>
    <message>
        <source>Recognition time over time, table</source>
        <translation>Czas rozpoznania w czasie, tabela</translation>
    </message>
    <message>
        <source>Checked</source>
        <translation>Sprawdzono</translation>
    </message>
    <message>
        <source>Median</source>
        <translation>Mediana</translation>
    </message>
    <message>
        <source>Characters timed</source>
        <translation>Znaki z czasem</translation>
    </message>
    <message>
        <source>Reco&amp;gnition time</source>
        <translation>Cz&amp;as rozpoznania</translation>
    </message>
    <message>
        <source>%1 ms of %2</source>
        <translation>%1 ms z %2</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
</context>
<context>
    <name>vortan::ReactionTimeDialog</name>
    <message>
        <source>Measure my reaction time</source>
        <translation>Zmierz mój czas reakcji</translation>
    </message>
    <message numerus="yes">
        <source>Press Space each time you hear a beep. %n beeps come at random moments, one to two and a half seconds apart. Your usual time is then taken off your recognition times. Escape cancels.</source>
        <translation>
            <numerusform>Naciskaj spację za każdym razem, gdy usłyszysz sygnał. %n sygnał zabrzmi w przypadkowej chwili, w odstępach od jednej do dwóch i pół sekundy. Twój zwykły czas zostanie potem odjęty od czasów rozpoznania. Escape anuluje.</numerusform>
            <numerusform>Naciskaj spację za każdym razem, gdy usłyszysz sygnał. %n sygnały zabrzmią w przypadkowych chwilach, w odstępach od jednej do dwóch i pół sekundy. Twój zwykły czas zostanie potem odjęty od czasów rozpoznania. Escape anuluje.</numerusform>
            <numerusform>Naciskaj spację za każdym razem, gdy usłyszysz sygnał. %n sygnałów zabrzmi w przypadkowych chwilach, w odstępach od jednej do dwóch i pół sekundy. Twój zwykły czas zostanie potem odjęty od czasów rozpoznania. Escape anuluje.</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>&amp;Keep this time</source>
        <translation>&amp;Zachowaj ten czas</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>The beeps cannot be played: %1</source>
        <translation>Nie można odtworzyć sygnałów: %1</translation>
    </message>
    <message>
        <source>Listening: press Space at each beep.</source>
        <translation>Słuchaj: naciśnij spację przy każdym sygnale.</translation>
    </message>
    <message>
        <source>Too early: no beep had sounded, so that press is not counted.</source>
        <translation>Za wcześnie: nie zabrzmiał żaden sygnał, więc to naciśnięcie się nie liczy.</translation>
    </message>
    <message>
        <source>Beep %1 of %2: %3 ms.</source>
        <translation>Sygnał %1 z %2: %3 ms.</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Powtórz</translation>
    </message>
    <message numerus="yes">
        <source>Your reaction time: %1 ms, the median of %n answered beeps. Keep this time to take it off your recognition times, or Redo.</source>
        <translation>
            <numerusform>Twój czas reakcji: %1 ms, mediana z %n sygnału, na który odpowiedziałeś. Zachowaj ten czas, by odejmować go od czasów rozpoznania, albo powtórz pomiar.</numerusform>
            <numerusform>Twój czas reakcji: %1 ms, mediana z %n sygnałów, na które odpowiedziałeś. Zachowaj ten czas, by odejmować go od czasów rozpoznania, albo powtórz pomiar.</numerusform>
            <numerusform>Twój czas reakcji: %1 ms, mediana z %n sygnałów, na które odpowiedziałeś. Zachowaj ten czas, by odejmować go od czasów rozpoznania, albo powtórz pomiar.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only %n of the beeps were answered, too few to give a time. Redo to try again.</source>
        <translation>
            <numerusform>Odpowiedziałeś tylko na %n sygnał, za mało, by podać czas. Powtórz, aby spróbować jeszcze raz.</numerusform>
            <numerusform>Odpowiedziałeś tylko na %n sygnały, za mało, by podać czas. Powtórz, aby spróbować jeszcze raz.</numerusform>
            <numerusform>Odpowiedziałeś tylko na %n sygnałów, za mało, by podać czas. Powtórz, aby spróbować jeszcze raz.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vortan::TForm1</name>
    <message>
        <source>Commands</source>
        <translation>Polecenia</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Ustawienia</translation>
    </message>
    <message>
        <source>The text is hidden while you copy.
Check your copy to see it again.</source>
        <translation>Tekst jest ukryty podczas odbioru.
Sprawdź odbiór, by go zobaczyć.</translation>
    </message>
</context>
<context>
    <name>vortan::TWaveVolumeSetting</name>
    <message>
        <source>Wave volume</source>
        <translation>Głośność dźwięku</translation>
    </message>
</context>
<context>
    <name>vortan::Wording</name>
    <message>
        <source>.</source>
        <comment>decimal separator</comment>
        <translation>,</translation>
    </message>
</context>
</TS>
