* F12 abre a palavra do cursor com o programa de [ORBELA] PROG.TXT e a edição
* continua; sem nada além de sinais, um bipe.
seja e "(leia.txt)"
escreve "Abra: " &
le edita e
escreve "[" e "]"
seja e "((--"
escreve "Nada para abrir: " &
le edita e
escreve "[" e "]"
